// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The cards of the history: one per station and mode (and direction, for links), scheduled from
// the answers of every game, kept in a table of their own so that other tools can read them. They
// are derived data: rebuilt from the answers at any time, nothing is lost.
#include "grade.h"
#include "history.h"
#include "historyrows.h"
#include "logging.h"

#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QVariant>

#include <algorithm>

namespace {

QString keyOf(const QString& station, const QString& reading, bool reversed)
{
    return StationKey(station, reading) + (reversed ? QStringLiteral(",r") : QString());
}

void review(StoredCard& c, QDate day, const GameRecord::Answer& a, std::int32_t questionTenths,
            double retention)
{
    ReviewCard(c, day, AnswerGrade(a.outcome, a.tenths, a.hints, questionTenths, a.reading.size()),
               retention);
}

bool writeCard(QSqlQuery& w, const StoredCard& c)
{
    for (const QVariant& v :
         {QVariant(c.lineKey), QVariant(c.mode), QVariant(c.station), QVariant(c.reading),
          QVariant(c.reversed ? 1 : 0), QVariant(c.stability), QVariant(c.difficulty),
          QVariant(c.due.toString(Qt::ISODate)), QVariant(c.lastReview.toString(Qt::ISODate)),
          QVariant(c.reps), QVariant(c.lapses), QVariant(c.lastRight ? 1 : 0),
          QVariant(c.firstReview.toString(Qt::ISODate))})
        w.addBindValue(v);
    return w.exec();
}

bool prepareWrite(QSqlQuery& w)
{
    return w.prepare(QStringLiteral("INSERT OR REPLACE INTO cards (%1) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                         .arg(history_rows::kCardColumns));
}

// Every answer that makes cards, in the order the cards are made from them: by the time each
// game was played, then by installation and its order there, whichever copy wrote it first and
// whichever computer's history it is (a game merged from another one sorts the same).
QString answerRows(const QString& where)
{
    return QStringLiteral(
               "SELECT g.line_key, g.mode, COALESCE(g.reversed, 0), g.played_at, "
               "COALESCE(g.question_tenths, 100), a.station, a.reading, a.outcome, a.seconds, "
               "a.hints FROM answers a JOIN games g ON g.id = a.game_id WHERE g.mode IN (1, 2) "
               "AND COALESCE(a.step, 0) = 0 %1 ORDER BY g.played_at, COALESCE(g.installation, ''), "
               "COALESCE(g.seq, g.id), g.uid, a.position")
        .arg(where);
}

QString cardKey(const QString& lineKey, std::int32_t mode, const QString& station,
                const QString& reading, bool reversed)
{
    return lineKey + u'\n' + QString::number(mode) + u'\n' + keyOf(station, reading, reversed);
}

// The cards the rows of answerRows make.
void replay(QSqlQuery& q, QHash<QString, StoredCard>& cards, double retention)
{
    while (q.next()) {
        const std::int32_t mode = q.value(1).toInt();
        const bool reversed = mode == kCardLink && q.value(2).toInt() != 0;
        GameRecord::Answer a {q.value(5).toString(), q.value(6).toString(),
                              history_rows::outcomeNamed(q.value(7).toString()),
                              std::int32_t(std::lround(q.value(8).toDouble() * 10.0)),
                              q.value(9).toInt()};
        if (a.outcome == Outcome::NotAsked)
            continue;
        StoredCard& c = cards[cardKey(q.value(0).toString(), mode, a.station, a.reading, reversed)];
        if (c.lineKey.isEmpty()) {
            c.lineKey = q.value(0).toString();
            c.mode = mode;
            c.station = a.station;
            c.reading = a.reading;
            c.reversed = reversed;
        }
        const QDate day = QDateTime::fromString(q.value(3).toString(), Qt::ISODate).date();
        review(c, day, a, q.value(4).toInt(), retention);
    }
}

} // namespace

bool History::createCards(QSqlDatabase& db)
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral(
               "CREATE TABLE IF NOT EXISTS cards (line_key TEXT NOT NULL, mode INTEGER NOT NULL, "
               "station TEXT NOT NULL, reading TEXT NOT NULL, reversed INTEGER NOT NULL, "
               "stability REAL, difficulty REAL, due TEXT, last_review TEXT, reps INTEGER, "
               "lapses INTEGER, last_right INTEGER, first_review TEXT, "
               "PRIMARY KEY (line_key, mode, station, reading, reversed))"))
        && q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS cards_due ON cards(due)"))
        // The days today's review was answered to the end: the goal is met on them.
        && q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS review_days (day TEXT PRIMARY KEY)"))
        // The lines the learner is learning, in the learner's order.
        && q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS learning_lines (position INTEGER, "
                                 "line_key TEXT PRIMARY KEY, line_name TEXT, line_file TEXT)"));
}

bool History::migrate(QSqlDatabase& db)
{
    QSqlQuery q(db);
    QStringList columns;
    if (q.exec(QStringLiteral("PRAGMA table_info(games)"))) {
        while (q.next())
            columns << q.value(1).toString();
    }
    bool ok = true;
    if (!columns.contains(QStringLiteral("reversed")))
        ok = q.exec(QStringLiteral("ALTER TABLE games ADD COLUMN reversed INTEGER DEFAULT 0"));
    QStringList answerColumns;
    if (ok && q.exec(QStringLiteral("PRAGMA table_info(answers)"))) {
        while (q.next())
            answerColumns << q.value(1).toString();
    }
    if (ok && !answerColumns.contains(QStringLiteral("step")))
        ok = q.exec(QStringLiteral("ALTER TABLE answers ADD COLUMN step INTEGER DEFAULT 0"));
    // The cards are made again below; an older table only lacks the day each was made.
    QStringList cardColumns;
    if (ok && q.exec(QStringLiteral("PRAGMA table_info(cards)"))) {
        while (q.next())
            cardColumns << q.value(1).toString();
    }
    if (ok && !cardColumns.isEmpty() && !cardColumns.contains(QStringLiteral("first_review")))
        ok = q.exec(QStringLiteral("ALTER TABLE cards ADD COLUMN first_review TEXT"));
    if (ok && !columns.contains(QStringLiteral("question_tenths")))
        ok = q.exec(
            QStringLiteral("ALTER TABLE games ADD COLUMN question_tenths INTEGER DEFAULT 100"));
    // Games that can travel between computers: each its own id, the installation that played
    // it and its number there. The games already played get theirs now, numbered as they were.
    for (const char* column : {"uid TEXT", "installation TEXT DEFAULT ''", "seq INTEGER",
                               "journaled INTEGER DEFAULT 0"}) {
        const QString name = QString::fromLatin1(column).section(u' ', 0, 0);
        if (ok && !columns.contains(name))
            ok = q.exec(QStringLiteral("ALTER TABLE games ADD COLUMN ") + QLatin1String(column));
    }
    if (ok) {
        q.prepare(QStringLiteral("UPDATE games SET uid = %1, installation = ?, seq = id "
                                 "WHERE uid IS NULL")
                      .arg(QLatin1String(kNewUidSql)));
        q.addBindValue(installation_);
        ok = q.exec();
    }
    // The past games count from the first day: their answers make the cards.
    return ok && createCards(db) && rebuildIn(db);
}

bool History::reviewCards(QSqlDatabase& db, const GameRecord& game)
{
    if (!MakesCards(game.mode))
        return true;
    const bool reversed = game.mode == kCardLink && game.reversed;
    // A game written after a later one of its line (kept pending while another copy played
    // on): its answers come before that game's, so each card it touches is made again from its
    // answers in time order, as the rebuild makes it.
    QSqlQuery later(db);
    later.prepare(QStringLiteral("SELECT 1 FROM games WHERE line_key = ? AND mode = ? AND "
                                 "played_at >= ? AND uid IS NOT ? LIMIT 1"));
    later.addBindValue(game.lineKey);
    later.addBindValue(game.mode);
    later.addBindValue(game.when.toString(Qt::ISODate));
    later.addBindValue(game.uid);
    if (later.exec() && later.next())
        return replayCards(db, game);
    QSqlQuery r(db);
    r.prepare(QStringLiteral("SELECT %1 FROM cards WHERE line_key = ? AND mode = ? AND station = ? "
                             "AND reading = ? AND reversed = ?")
                  .arg(history_rows::kCardColumns));
    QSqlQuery w(db);
    bool ok = prepareWrite(w);
    for (const GameRecord::Answer& a : game.answers) {
        if (!ok)
            break;
        if (a.step)
            continue;
        StoredCard c;
        r.addBindValue(game.lineKey);
        r.addBindValue(game.mode);
        r.addBindValue(a.station);
        r.addBindValue(a.reading);
        r.addBindValue(reversed ? 1 : 0);
        ok = r.exec();
        if (ok && r.next()) {
            c = history_rows::cardAt(r);
        } else {
            c.lineKey = game.lineKey;
            c.mode = game.mode;
            c.station = a.station;
            c.reading = a.reading;
            c.reversed = reversed;
        }
        r.finish();
        review(c, game.when.date(), a, game.questionTenths, retention_);
        ok = ok && writeCard(w, c);
    }
    if (!ok)
        failFrom(w.lastError().isValid() ? w.lastError() : r.lastError(), Failure::Other);
    return ok;
}

bool History::replayCards(QSqlDatabase& db, const GameRecord& game)
{
    const bool reversed = game.mode == kCardLink && game.reversed;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(answerRows(QStringLiteral("AND g.line_key = ? AND g.mode = ? AND a.station = ? "
                                        "AND a.reading = ?")));
    QSqlQuery w(db);
    bool ok = prepareWrite(w);
    QSet<QString> done;
    for (const GameRecord::Answer& a : game.answers) {
        const QString key = cardKey(game.lineKey, game.mode, a.station, a.reading, reversed);
        if (!ok || a.step || done.contains(key))
            continue;
        done.insert(key);
        q.addBindValue(game.lineKey);
        q.addBindValue(game.mode);
        q.addBindValue(a.station);
        q.addBindValue(a.reading);
        ok = q.exec();
        QHash<QString, StoredCard> cards;
        replay(q, cards, retention_);
        if (ok && cards.contains(key))
            ok = writeCard(w, cards.value(key));
    }
    if (!ok)
        failFrom(w.lastError().isValid() ? w.lastError() : q.lastError(), Failure::Other);
    return ok;
}

bool History::replayLines(QSqlDatabase& db, const QSet<QPair<QString, std::int32_t>>& lines)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(answerRows(QStringLiteral("AND g.line_key = ? AND g.mode = ?")));
    QSqlQuery w(db);
    bool ok = prepareWrite(w);
    for (const auto& [lineKey, mode] : lines) {
        q.addBindValue(lineKey);
        q.addBindValue(mode);
        ok = ok && q.exec();
        QHash<QString, StoredCard> cards;
        if (ok)
            replay(q, cards, retention_);
        q.finish();
        for (auto it = cards.cbegin(); ok && it != cards.cend(); ++it)
            ok = writeCard(w, it.value());
        if (!ok)
            break;
    }
    if (!ok)
        failFrom(w.lastError().isValid() ? w.lastError() : q.lastError(), Failure::Other);
    return ok;
}

bool History::rebuildIn(QSqlDatabase& db)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("DELETE FROM cards")) || !q.exec(answerRows(QString()))) {
        failFrom(q.lastError(), Failure::Other);
        return false;
    }
    QHash<QString, StoredCard> cards;
    replay(q, cards, retention_);
    QSqlQuery w(db);
    bool ok = prepareWrite(w);
    for (auto it = cards.cbegin(); ok && it != cards.cend(); ++it)
        ok = writeCard(w, it.value());
    if (!ok)
        failFrom(w.lastError(), Failure::Other);
    return ok;
}

bool History::rebuildCards()
{
    if (!open_ || readOnly_)
        return false;
    return writeTransaction([this](QSqlDatabase& db) { return rebuildIn(db); });
}

bool History::writeTransaction(const std::function<bool(QSqlDatabase&)>& work)
{
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        failFrom(q.lastError(), Failure::Other);
        return false;
    }
    if (work(db) && q.exec(QStringLiteral("COMMIT")))
        return true;
    if (q.lastError().isValid())
        failFrom(q.lastError(), Failure::Other);
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return false;
}
