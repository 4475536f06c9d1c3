// SPDX-License-Identifier: GPL-3.0-or-later
#include "history.h"
#include "folders.h"
#include "logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

int nextConnection = 0;

const char* outcomeName(Outcome o)
{
    switch (o) {
    case Outcome::Right:
        return "right";
    case Outcome::Wrong:
        return "wrong";
    case Outcome::TimedOut:
        return "timeout";
    case Outcome::NotAsked:
        break;
    }
    return "not-asked";
}

} // namespace

QString HistoryFolder()
{
    return platform::dataFolder();
}

void History::fail(Failure why, const QString& detail)
{
    failure_ = why;
    problem_ = detail;
    qCWarning(logHistory).noquote() << path_ << int(why) << detail;
}

History::History() : connection_(QStringLiteral("tabidori-history-%1").arg(nextConnection++)) { }

History::~History()
{
    close();
}

void History::close()
{
    open_ = false;
    if (QSqlDatabase::contains(connection_)) {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
}

bool History::prepare()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path_);
    // A second running copy holds the lock for a moment now and then: wait for it.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        fail(Failure::CannotOpen, db.lastError().text());
        return false;
    }
    QSqlQuery q(db);
    // A file that is not a database fails here, on its first read.
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next()
        || q.value(0).toString() != QLatin1String("ok")) {
        fail(Failure::NotAHistory,
             q.lastError().isValid() ? q.lastError().text() : QStringLiteral("integrity check"));
        return false;
    }
    return true;
}

History::Opened History::open(const QString& folder)
{
    close();
    movedTo_.clear();
    problem_.clear();
    failure_ = Failure::None;
    path_ = QDir(folder).filePath(QStringLiteral("history.sqlite"));
    if (!QDir().mkpath(folder)) {
        fail(Failure::FolderUnwritable, QStringLiteral("cannot create ") + folder);
        return Opened::Unwritable;
    }
    Opened result = Opened::Ok;
    if (!prepare()) {
        close();
        if (QFileInfo::exists(path_) && failure_ == Failure::NotAHistory) {
            // Never overwritten: the unreadable history stays, under a dated name.
            const QString stamp
                = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
            movedTo_ = QDir(folder).filePath(QStringLiteral("history-broken-%1.sqlite").arg(stamp));
            if (!QFile::rename(path_, movedTo_)) {
                fail(Failure::CannotMoveAside, QStringLiteral("cannot move aside ") + path_);
                return Opened::Unwritable;
            }
            for (const char* side : {"-wal", "-shm"})
                QFile::rename(path_ + QLatin1String(side), movedTo_ + QLatin1String(side));
            result = Opened::MovedAside;
            if (!prepare()) {
                close();
                return Opened::Unwritable;
            }
        } else {
            return Opened::Unwritable;
        }
    }
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery q(db);
    const bool made = q.exec(QStringLiteral("PRAGMA journal_mode=WAL"))
        && q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS games ("
                                 "id INTEGER PRIMARY KEY, played_at TEXT NOT NULL, "
                                 "line_key TEXT NOT NULL, line_name TEXT, line_file TEXT, "
                                 "mode INTEGER, retry INTEGER, completed INTEGER, "
                                 "asked INTEGER, right_answers INTEGER, rate REAL, score INTEGER)"))
        && q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS answers ("
                                 "game_id INTEGER NOT NULL REFERENCES games(id), "
                                 "position INTEGER, station TEXT, reading TEXT, outcome TEXT, "
                                 "seconds REAL, hints INTEGER)"))
        && q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS games_line ON games(line_key, mode)"))
        && q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS answers_game ON answers(game_id)"));
    if (!made) {
        fail(Failure::CannotPrepare, q.lastError().text());
        close();
        return Opened::Unwritable;
    }
    open_ = true;
    return result;
}

bool History::record(const GameRecord& game)
{
    if (!open_)
        return false;
    QSqlDatabase db = QSqlDatabase::database(connection_);
    if (!db.transaction()) {
        fail(Failure::WriteFailed, db.lastError().text());
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO games (played_at, line_key, line_name, line_file, mode, "
                             "retry, completed, asked, right_answers, rate, score) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant& v :
         {QVariant(game.when.toString(Qt::ISODate)), QVariant(game.lineKey),
          QVariant(game.lineName), QVariant(game.lineFile), QVariant(game.mode),
          QVariant(game.retry ? 1 : 0), QVariant(game.completed ? 1 : 0), QVariant(game.asked),
          QVariant(game.right), QVariant(game.rate), QVariant(game.score)})
        q.addBindValue(v);
    bool ok = q.exec();
    const QVariant id = q.lastInsertId();
    QSqlQuery a(db);
    a.prepare(QStringLiteral("INSERT INTO answers (game_id, position, station, reading, outcome, "
                             "seconds, hints) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; ok && i < game.answers.size(); ++i) {
        const GameRecord::Answer& ans = game.answers[i];
        a.addBindValue(id);
        a.addBindValue(int(i));
        a.addBindValue(ans.station);
        a.addBindValue(ans.reading);
        a.addBindValue(QString::fromLatin1(outcomeName(ans.outcome)));
        a.addBindValue(ans.tenths / 10.0);
        a.addBindValue(ans.hints);
        ok = a.exec();
    }
    if (!ok) {
        fail(Failure::WriteFailed,
             (q.lastError().isValid() ? q.lastError() : a.lastError()).text());
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        fail(Failure::WriteFailed, db.lastError().text());
        db.rollback();
        return false;
    }
    return true;
}

LineStats History::stats(const QString& lineKey, std::int32_t mode) const
{
    LineStats s;
    if (!open_)
        return s;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(QStringLiteral("SELECT COUNT(*), MAX(score), MAX(rate), MAX(played_at) FROM games "
                             "WHERE line_key = ? AND mode = ?"));
    q.addBindValue(lineKey);
    q.addBindValue(mode);
    if (q.exec() && q.next()) {
        s.games = q.value(0).toInt();
        s.bestScore = q.value(1).toInt();
        s.bestRate = q.value(2).toDouble();
        s.last = QDateTime::fromString(q.value(3).toString(), Qt::ISODate);
    }
    return s;
}

QList<MissedStation> History::mostMissed(const QString& lineKey, std::int32_t mode, int limit) const
{
    QList<MissedStation> out;
    if (!open_)
        return out;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(QStringLiteral("SELECT a.station, a.reading, COUNT(*) AS misses FROM answers a "
                             "JOIN games g ON g.id = a.game_id WHERE g.line_key = ? AND g.mode = ? "
                             "AND a.outcome IN ('wrong', 'timeout') GROUP BY a.station, a.reading "
                             "ORDER BY misses DESC, MIN(a.position) LIMIT ?"));
    q.addBindValue(lineKey);
    q.addBindValue(mode);
    q.addBindValue(limit);
    if (q.exec()) {
        while (q.next())
            out.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toInt()});
    }
    return out;
}
