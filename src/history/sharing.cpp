// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The history's side of sharing games between computers: which games of ours still have to go
// into the shared journal, the games of other installations taken in, and how far each journal
// file has been read.
#include "history.h"
#include "historyrows.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

QString newUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

bool History::createSharing(QSqlDatabase& db)
{
    QSqlQuery q(db);
    // A game merged twice (a conflict copy, a journal read again) is one game.
    return q.exec(QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS games_uid ON games(uid)"))
        && q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS games_unjournaled ON games(id) "
                                 "WHERE journaled = 0"))
        && q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS journal_files (path TEXT PRIMARY "
                                 "KEY, size INTEGER, consumed INTEGER, modified TEXT)"))
        && q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS shared_folder (folder TEXT)"));
}

bool History::useSharedFolder(const QString& folder, const QString& installation)
{
    if (!open_ || readOnly_)
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_));
    if (q.exec(QStringLiteral("SELECT folder FROM shared_folder")) && q.next()
        && q.value(0).toString() == folder)
        return true;
    q.finish();
    // Another folder: it has none of our games yet, so all of them go into it. Games merged
    // from other computers are theirs to write.
    return writeTransaction([&](QSqlDatabase& db) {
        QSqlQuery u(db);
        u.prepare(QStringLiteral("UPDATE games SET journaled = 0 WHERE installation IN (?, '') "
                                 "OR installation IS NULL"));
        u.addBindValue(installation);
        QSqlQuery w(db);
        const bool ok = u.exec() && w.exec(QStringLiteral("DELETE FROM shared_folder"))
            && w.prepare(QStringLiteral("INSERT INTO shared_folder (folder) VALUES (?)"));
        if (ok) {
            w.addBindValue(folder);
            if (w.exec())
                return true;
        }
        failFrom(u.lastError().isValid() ? u.lastError() : w.lastError(), Failure::Other);
        return false;
    });
}

QList<GameRecord> History::unjournaledGames(int limit) const
{
    QList<GameRecord> games;
    if (!open_)
        return games;
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "SELECT id, played_at, line_key, line_name, line_file, mode, retry, completed, asked, "
        "right_answers, rate, score, reversed, question_tenths, uid, installation, seq "
        "FROM games WHERE journaled = 0 ORDER BY id LIMIT ?"));
    q.addBindValue(limit);
    QSqlQuery a(db);
    a.prepare(QStringLiteral("SELECT station, reading, outcome, seconds, hints, step FROM answers "
                             "WHERE game_id = ? ORDER BY position"));
    if (!q.exec())
        return games;
    while (q.next()) {
        GameRecord g;
        g.when = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
        g.lineKey = q.value(2).toString();
        g.lineName = q.value(3).toString();
        g.lineFile = q.value(4).toString();
        g.mode = q.value(5).toInt();
        g.retry = q.value(6).toInt() != 0;
        g.completed = q.value(7).toInt() != 0;
        g.asked = q.value(8).toInt();
        g.right = q.value(9).toInt();
        g.rate = q.value(10).toDouble();
        g.score = q.value(11).toInt();
        g.reversed = q.value(12).toInt() != 0;
        g.questionTenths = q.value(13).toInt();
        g.uid = q.value(14).toString();
        g.installation = q.value(15).toString();
        g.seq = q.value(16).toLongLong();
        a.addBindValue(q.value(0));
        if (a.exec()) {
            while (a.next())
                g.answers.append({a.value(0).toString(), a.value(1).toString(),
                                  history_rows::outcomeNamed(a.value(2).toString()),
                                  std::int32_t(std::lround(a.value(3).toDouble() * 10.0)),
                                  a.value(4).toInt(), a.value(5).toInt() != 0});
        }
        a.finish();
        games.append(std::move(g));
    }
    return games;
}

bool History::markJournaled(const QStringList& uids)
{
    if (!open_ || readOnly_)
        return false;
    return writeTransaction([&](QSqlDatabase& db) {
        QSqlQuery m(db);
        m.prepare(QStringLiteral("UPDATE games SET journaled = 1 WHERE uid = ?"));
        for (const QString& uid : uids) {
            m.addBindValue(uid);
            if (!m.exec()) {
                failFrom(m.lastError(), Failure::Other);
                return false;
            }
        }
        return true;
    });
}

int History::importGames(const QList<GameRecord>& games)
{
    if (!open_ || readOnly_)
        return -1;
    int added = 0;
    const bool ok = writeTransaction([&](QSqlDatabase& db) {
        QSqlQuery known(db);
        known.prepare(QStringLiteral("SELECT 1 FROM games WHERE uid = ?"));
        QSet<QString> seen;
        QSet<QPair<QString, std::int32_t>> lines;
        for (const GameRecord& g : games) {
            if (seen.contains(g.uid))
                continue;
            seen.insert(g.uid);
            known.addBindValue(g.uid);
            if (!known.exec()) {
                failFrom(known.lastError(), Failure::Other);
                return false;
            }
            const bool have = known.next();
            known.finish();
            if (have)
                continue;
            // Already in a journal: it is never written to ours.
            if (insertGame(db, g, true) < 0)
                return false;
            ++added;
            if (MakesCards(g.mode))
                lines.insert({g.lineKey, g.mode});
        }
        return replayLines(db, lines);
    });
    return ok ? added : -1;
}

int History::gameCount() const
{
    QSqlQuery q(QSqlDatabase::database(connection_));
    return open_ && q.exec(QStringLiteral("SELECT COUNT(*) FROM games")) && q.next()
        ? q.value(0).toInt()
        : 0;
}

History::JournalMark History::journalMark(const QString& path) const
{
    JournalMark mark;
    if (!open_)
        return mark;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(QStringLiteral("SELECT size, consumed, modified FROM journal_files WHERE path = ?"));
    q.addBindValue(path);
    if (q.exec() && q.next())
        mark = {q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toString()};
    return mark;
}

bool History::setJournalMark(const QString& path, const JournalMark& mark)
{
    if (!open_ || readOnly_)
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO journal_files (path, size, consumed, "
                             "modified) VALUES (?, ?, ?, ?)"));
    q.addBindValue(path);
    q.addBindValue(mark.size);
    q.addBindValue(mark.consumed);
    q.addBindValue(mark.modified);
    if (q.exec())
        return true;
    failFrom(q.lastError(), Failure::Other);
    return false;
}
