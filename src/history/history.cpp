// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "history.h"
#include "folders.h"
#include "historyrows.h"
#include "logging.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

namespace {

int nextConnection = 0;

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
    readOnly_ = false;
    if (QSqlDatabase::contains(connection_)) {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
}

History::Failure History::failureOfCode(int sqliteCode)
{
    switch (sqliteCode & 0xff) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return Failure::Busy;
    case 13: // SQLITE_FULL
        return Failure::DiskFull;
    case 3: // SQLITE_PERM
    case 8: // SQLITE_READONLY
    case 23: // SQLITE_AUTH
        return Failure::ReadOnly;
    case 7: // SQLITE_NOMEM
    case 10: // SQLITE_IOERR
    case 15: // SQLITE_PROTOCOL
        return Failure::IoError;
    case 14: // SQLITE_CANTOPEN
        return Failure::CannotOpen;
    case 11: // SQLITE_CORRUPT
        return Failure::Corrupt;
    case 26: // SQLITE_NOTADB
        return Failure::NotADatabase;
    default:
        return Failure::Other;
    }
}

bool History::passing(Failure f)
{
    switch (f) {
    case Failure::Busy:
    case Failure::DiskFull:
    case Failure::ReadOnly:
    case Failure::IoError:
    case Failure::CannotOpen:
    case Failure::Other:
        return true;
    default:
        return false;
    }
}

void History::failFrom(const QSqlError& error, Failure fallback)
{
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);
    fail(numeric && code != 0 ? failureOfCode(code) : fallback, error.text());
}

namespace {

// SQLite makes the -wal and -shm files with the history's own mode: a session on a history
// made read-only leaves them read-only, and once the history is writable again they would keep
// every later session from writing. Side files of ours take the history's mode again.
void matchSideFiles(const QString& path)
{
    const QFileInfo history(path);
    if (!history.exists())
        return;
    for (const char* suffix : {"-wal", "-shm"}) {
        QFileInfo side(path + QLatin1String(suffix));
        if (side.exists() && side.ownerId() == history.ownerId()
            && side.permissions() != history.permissions())
            QFile::setPermissions(side.filePath(), history.permissions());
    }
}

// The marks in a SQLite file's header (its first 100 bytes), read without SQLite: what the
// file is can be told before any connection could checkpoint its WAL or roll back its journal.
struct Header
{
    bool sqlite = false;
    quint32 applicationId = 0;
    quint32 userVersion = 0;
};

Header headerOf(const QString& path)
{
    QFile file(path);
    Header h;
    if (!file.open(QIODevice::ReadOnly))
        return h;
    const QByteArray bytes = file.read(100);
    if (bytes.size() < 100 || !bytes.startsWith(QByteArrayView("SQLite format 3\0", 16)))
        return h;
    const auto word = [&](int at) {
        return quint32(quint8(bytes[at])) << 24 | quint32(quint8(bytes[at + 1])) << 16
            | quint32(quint8(bytes[at + 2])) << 8 | quint32(quint8(bytes[at + 3]));
    };
    h.sqlite = true;
    h.userVersion = word(60);
    h.applicationId = word(68);
    return h;
}

bool hasJournal(const QString& path)
{
    return QFileInfo::exists(path + QStringLiteral("-wal"))
        || QFileInfo::exists(path + QStringLiteral("-journal"));
}

} // namespace

QString History::copyOfHistory()
{
    copy_ = std::make_unique<QTemporaryDir>();
    const QString copy = copy_->filePath(QStringLiteral("history.sqlite"));
    if (!copy_->isValid() || !QFile::copy(path_, copy))
        return {};
    for (const char* side : {"-wal", "-journal"})
        QFile::copy(path_ + QLatin1String(side), copy + QLatin1String(side));
    return copy;
}

bool History::connect(bool readOnly, const QString& file)
{
    if (!readOnly && file.isEmpty())
        matchSideFiles(path_);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(file.isEmpty() ? path_ : file);
    // A second running copy holds the lock for the moment a game takes to write: wait for it.
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        failFrom(db.lastError(), Failure::CannotOpen);
        return false;
    }
    return true;
}

bool History::checkIntegrity()
{
    QSqlQuery q(QSqlDatabase::database(connection_));
    // A file that is no database fails here, on its first read; so does a busy or failing
    // disk, which is no reason to move a good history aside.
    if (!q.exec(QStringLiteral("PRAGMA integrity_check"))) {
        failFrom(q.lastError(), Failure::Other);
        return false;
    }
    QStringList problems;
    while (q.next()) {
        if (q.value(0).toString() != QLatin1String("ok"))
            problems << q.value(0).toString();
    }
    if (q.lastError().isValid()) {
        failFrom(q.lastError(), Failure::Other);
        return false;
    }
    if (!problems.isEmpty()) {
        fail(Failure::Corrupt, problems.mid(0, 3).join(u'\n'));
        return false;
    }
    return true;
}

bool History::readsAsDatabase()
{
    QSqlQuery q(QSqlDatabase::database(connection_));
    // The first read of the file: one that is no database fails here.
    if (q.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")) && q.next())
        return true;
    failFrom(q.lastError(), Failure::Other);
    return false;
}

History::Kind History::identify()
{
    QSqlQuery q(QSqlDatabase::database(connection_));
    int application = 0;
    int version = 0;
    if (q.exec(QStringLiteral("PRAGMA application_id")) && q.next())
        application = q.value(0).toInt();
    if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next())
        version = q.value(0).toInt();
    version_ = version;
    QStringList tables;
    if (q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
        while (q.next())
            tables << q.value(0).toString();
    }
    if (application == kApplicationId)
        return version > kSchemaVersion ? Kind::Newer : Kind::Ours;
    if (application != 0)
        return Kind::Foreign;
    if (tables.isEmpty() && version == 0)
        return Kind::Empty;
    // The history as the program wrote it before it marked its files: its two tables with
    // their columns, nothing else.
    QStringList columns;
    for (const QString& table : {QStringLiteral("games"), QStringLiteral("answers")}) {
        if (q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table))) {
            while (q.next())
                columns << table + u'.' + q.value(1).toString();
        }
    }
    static const QStringList kToday {
        "games.id",        "games.played_at",     "games.line_key",  "games.line_name",
        "games.line_file", "games.mode",          "games.retry",     "games.completed",
        "games.asked",     "games.right_answers", "games.rate",      "games.score",
        "answers.game_id", "answers.position",    "answers.station", "answers.reading",
        "answers.outcome", "answers.seconds",     "answers.hints"};
    tables.sort();
    return version == 0 && tables == QStringList {"answers", "games"} && columns == kToday
        ? Kind::Today
        : Kind::Foreign;
}

bool History::makeOrMark(Kind kind)
{
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery q(db);
    // The tables, their indexes and the marks in one transaction: a history is either as it was
    // or complete and marked. One already marked needs none of it.
    bool ok = kind == Kind::Ours || q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (ok && kind == Kind::Empty) {
        ok = q.exec(QStringLiteral("CREATE TABLE games ("
                                   "id INTEGER PRIMARY KEY, played_at TEXT NOT NULL, "
                                   "line_key TEXT NOT NULL, line_name TEXT, line_file TEXT, "
                                   "mode INTEGER, retry INTEGER, completed INTEGER, "
                                   "asked INTEGER, right_answers INTEGER, rate REAL, "
                                   "score INTEGER, reversed INTEGER DEFAULT 0, "
                                   "question_tenths INTEGER DEFAULT 100, uid TEXT, "
                                   "installation TEXT DEFAULT '', seq INTEGER, "
                                   "journaled INTEGER DEFAULT 0)"))
            && q.exec(QStringLiteral("CREATE TABLE answers ("
                                     "game_id INTEGER NOT NULL REFERENCES games(id), "
                                     "position INTEGER, station TEXT, reading TEXT, "
                                     "outcome TEXT, seconds REAL, hints INTEGER, "
                                     "step INTEGER DEFAULT 0)"));
    }
    if (ok && kind == Kind::Empty)
        ok = createCards(db);
    // A history of an earlier schema grows the cards and keeps every game and answer.
    const bool older = kind == Kind::Today || (kind == Kind::Ours && version_ < kSchemaVersion);
    if (ok && older && kind == Kind::Ours)
        ok = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (ok && older)
        ok = migrate(db);
    if (ok && (kind != Kind::Ours || older)) {
        ok = q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS games_line "
                                   "ON games(line_key, mode)"))
            && q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS answers_game "
                                     "ON answers(game_id)"))
            && q.exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId))
            && q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
    }
    if (ok && (kind != Kind::Ours || older))
        ok = q.exec(QStringLiteral("COMMIT"));
    if (!ok) {
        failFrom(q.lastError(), Failure::Other);
        q.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    // Loading a line with former names looks for games under them: an index, made once (a
    // history of an earlier version gains it here; afterwards this finds it and writes nothing).
    if (!q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS games_name ON games(line_name)"))
        || !createSharing(db)) {
        failFrom(q.lastError(), Failure::Other);
        return false;
    }
    // Only our own history is switched to WAL: the journal mode is written into the file.
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
        failFrom(q.lastError(), Failure::Other);
        return false;
    }
    return true;
}

bool History::moveAside(const QString& folder, const char* prefix)
{
    // Never overwritten: the file stays, under a dated name.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    movedTo_
        = QDir(folder).filePath(QStringLiteral("%1-%2.sqlite").arg(QLatin1String(prefix), stamp));
    for (int n = 2; QFileInfo::exists(movedTo_); ++n)
        movedTo_ = QDir(folder).filePath(
            QStringLiteral("%1-%2-%3.sqlite").arg(QLatin1String(prefix), stamp).arg(n));
    if (!QFile::rename(path_, movedTo_)) {
        fail(Failure::CannotMoveAside, QStringLiteral("cannot move aside ") + path_);
        return false;
    }
    // Its journal goes with it: a WAL with the last transactions, a journal to roll back.
    for (const char* side : {"-wal", "-shm", "-journal"})
        QFile::rename(path_ + QLatin1String(side), movedTo_ + QLatin1String(side));
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
    Opened moved = Opened::Ok;
    for (int attempt = 0; attempt < 2; ++attempt) {
        Kind kind = Kind::Empty;
        // Damage comes from a session that did not close the history (a crash, a power cut, a
        // copy still running): it leaves the journal behind, and then the whole file is checked.
        // A history closed cleanly is only read: checking a learner's year of games every start
        // would cost more than the rest of the start-up.
        const bool unclean = hasJournal(path_);
        // A file that is not known to be ours, or one a newer version made, is first looked at
        // on a copy when it has a journal: connecting to it would checkpoint its WAL or roll
        // back its journal, and it must stay as it is, byte for byte, side files and all.
        const Header header = headerOf(path_);
        const bool newer = header.applicationId == quint32(kApplicationId)
            && header.userVersion > quint32(kSchemaVersion);
        if (header.sqlite && unclean
            && (newer || header.applicationId != quint32(kApplicationId))) {
            const QString copy = copyOfHistory();
            const bool read = !copy.isEmpty() && connect(false, copy) && checkIntegrity();
            kind = read ? identify() : Kind::Foreign;
            close();
            if (kind == Kind::Newer) {
                if (!connect(true, copy))
                    return Opened::Unavailable;
                open_ = true;
                readOnly_ = true;
                fail(Failure::Newer, QStringLiteral("schema newer than %1").arg(kSchemaVersion));
                return Opened::Newer;
            }
            copy_.reset();
        }
        const bool usable = kind == Kind::Foreign
            ? true
            : connect(false) && (unclean ? checkIntegrity() : readsAsDatabase());
        // No history yet in a folder that cannot be written: SQLite says only that it cannot
        // open the file, which would read as a failing disk.
        if (!usable && failure_ == Failure::CannotOpen && !QFileInfo::exists(path_)
            && !QFileInfo(folder).isWritable())
            failure_ = Failure::ReadOnly;
        if (usable && kind != Kind::Foreign)
            kind = identify();
        if (usable && kind == Kind::Newer) {
            // Read, never written: not even the journal mode changes.
            close();
            if (!connect(true))
                return Opened::Unavailable;
            open_ = true;
            readOnly_ = true;
            fail(Failure::Newer, QStringLiteral("schema newer than %1").arg(kSchemaVersion));
            return Opened::Newer;
        }
        if (usable && kind != Kind::Foreign) {
            if (!makeOrMark(kind)) {
                close();
                return Opened::Unavailable;
            }
            open_ = true;
            return moved;
        }
        close();
        if (usable)
            fail(Failure::Foreign, QStringLiteral("not a history of this program"));
        else if (passing(failure_) || !QFileInfo::exists(path_))
            return Opened::Unavailable;
        // Corrupt, no database, or someone else's: kept under its own name, a new one made.
        const bool foreign = failure_ == Failure::Foreign;
        if (attempt > 0 || !moveAside(folder, foreign ? "history-foreign" : "history-broken"))
            return Opened::Unwritable;
        moved = foreign ? Opened::ForeignMovedAside : Opened::MovedAside;
    }
    return Opened::Unwritable;
}

void History::setBusyTimeout(int ms)
{
    busyTimeoutMs_ = ms;
    if (open_)
        QSqlQuery(QSqlDatabase::database(connection_))
            .exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(ms));
}

bool History::record(const GameRecord& game)
{
    if (!open_)
        return false;
    if (readOnly_) {
        fail(Failure::Newer, QStringLiteral("a newer version's history is not written"));
        return false;
    }
    // The busy timeout covers a second copy writing its game (a game is one short
    // transaction). SQLite also answers busy at once where waiting could not help (another
    // connection's snapshot moved on): those are tried again a few times. A copy that held the
    // lock for the whole timeout is not waited for again, so the window never hangs for long.
    for (int attempt = 0; attempt < 3; ++attempt) {
        QElapsedTimer took;
        took.start();
        if (recordOnce(game))
            return true;
        if (failure_ != Failure::Busy || took.elapsed() >= busyTimeoutMs_ / 2)
            return false;
        QThread::msleep(50);
    }
    return false;
}

qint64 History::insertGame(QSqlDatabase& db, const GameRecord& game, bool journaled)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO games (played_at, line_key, line_name, line_file, mode, "
                             "retry, completed, asked, right_answers, rate, score, reversed, "
                             "question_tenths, uid, installation, seq, journaled) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant& v :
         {QVariant(game.when.toString(Qt::ISODate)), QVariant(game.lineKey),
          QVariant(game.lineName), QVariant(game.lineFile), QVariant(game.mode),
          QVariant(game.retry ? 1 : 0), QVariant(game.completed ? 1 : 0), QVariant(game.asked),
          QVariant(game.right), QVariant(game.rate), QVariant(game.score),
          QVariant(game.reversed ? 1 : 0), QVariant(game.questionTenths), QVariant(game.uid),
          QVariant(game.installation), QVariant(game.seq), QVariant(journaled ? 1 : 0)})
        q.addBindValue(v);
    if (!q.exec()) {
        failFrom(q.lastError(), Failure::Other);
        return -1;
    }
    const qint64 id = q.lastInsertId().toLongLong();
    // A game played here is numbered by its row: the order of this installation's games.
    if (game.seq == 0) {
        QSqlQuery n(db);
        n.prepare(QStringLiteral("UPDATE games SET seq = id WHERE id = ?"));
        n.addBindValue(id);
        if (!n.exec()) {
            failFrom(n.lastError(), Failure::Other);
            return -1;
        }
    }
    QSqlQuery a(db);
    a.prepare(QStringLiteral("INSERT INTO answers (game_id, position, station, reading, outcome, "
                             "seconds, hints, step) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; i < game.answers.size(); ++i) {
        const GameRecord::Answer& ans = game.answers[i];
        a.addBindValue(id);
        a.addBindValue(int(i));
        a.addBindValue(ans.station);
        a.addBindValue(ans.reading);
        a.addBindValue(QString::fromLatin1(history_rows::outcomeName(ans.outcome)));
        a.addBindValue(ans.tenths / 10.0);
        a.addBindValue(ans.hints);
        a.addBindValue(ans.step ? 1 : 0);
        if (!a.exec()) {
            failFrom(a.lastError(), Failure::Other);
            return -1;
        }
    }
    return id;
}

bool History::recordOnce(const GameRecord& played)
{
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery q(db);
    // The write lock is taken at the start, so waiting for it is all the busy timeout does.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        failFrom(q.lastError(), Failure::Other);
        return false;
    }
    GameRecord game = played;
    if (game.uid.isEmpty())
        game.uid = newUid();
    if (game.installation.isEmpty())
        game.installation = installation_;
    // Every question asked updates its card, in the game's own transaction.
    QSqlQuery end(db);
    if (insertGame(db, game, false) >= 0 && reviewCards(db, game)
        && end.exec(QStringLiteral("COMMIT")))
        return true;
    if (end.lastError().isValid())
        failFrom(end.lastError(), Failure::Other);
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return false;
}

LineStats History::stats(const QString& lineKey, std::int32_t mode) const
{
    LineStats s;
    if (!open_)
        return s;
    QSqlQuery q(QSqlDatabase::database(connection_));
    // A retry of four misses all answered right is no best rate of the line.
    const QString whole = QStringLiteral("(COALESCE(retry, 0) = 0 AND COALESCE(completed, 1) = 1)");
    q.prepare(QStringLiteral("SELECT SUM(CASE WHEN %1 THEN 1 ELSE 0 END), "
                             "MAX(CASE WHEN %1 THEN score END), MAX(CASE WHEN %1 THEN rate END), "
                             "MAX(played_at), SUM(CASE WHEN retry = 1 THEN 1 ELSE 0 END), "
                             "SUM(CASE WHEN COALESCE(retry, 0) = 0 AND completed = 0 "
                             "THEN 1 ELSE 0 END) "
                             "FROM games WHERE line_key = ? AND mode = ?")
                  .arg(whole));
    q.addBindValue(lineKey);
    q.addBindValue(mode);
    if (q.exec() && q.next()) {
        s.games = q.value(0).toInt();
        s.bestScore = q.value(1).toInt();
        s.bestRate = q.value(2).toDouble();
        s.last = QDateTime::fromString(q.value(3).toString(), Qt::ISODate);
        s.practice = q.value(4).toInt();
        s.stopped = q.value(5).toInt();
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
