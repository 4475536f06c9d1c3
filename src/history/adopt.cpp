// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// A line that comes back under another name (a library line made again from better data) keeps
// what the learner did on it: its games move to the new line, and its cards are made again.
#include "history.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

struct Fit
{
    int order = 0; // over consecutive answers: +1 in the new line's order, -1 against it
    int matched = 0; // answers of stations the new line has
    int answers = 0;
};

// How the old games fit the new line: how many of their stations it has, and which way they ran.
Fit fitOf(QSqlDatabase& db, const QString& oldKey, const QHash<QString, int>& newIndex)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT a.game_id, COALESCE(g.reversed, 0), a.station FROM answers a "
                             "JOIN games g ON g.id = a.game_id WHERE g.line_key = ? "
                             "ORDER BY a.game_id, a.position"));
    q.addBindValue(oldKey);
    Fit fit;
    if (!q.exec())
        return fit;
    qint64 game = -1;
    int previous = -1;
    while (q.next()) {
        if (q.value(0).toLongLong() != game) {
            game = q.value(0).toLongLong();
            previous = -1;
        }
        ++fit.answers;
        const int index = newIndex.value(q.value(2).toString(), -1);
        if (index < 0)
            continue;
        ++fit.matched;
        if (previous >= 0 && index != previous) {
            const bool forward = index > previous;
            fit.order += forward != (q.value(1).toInt() != 0) ? 1 : -1;
        }
        previous = index;
    }
    return fit;
}

} // namespace

bool History::hasGamesNamed(const QStringList& names, const QString& lineKey) const
{
    if (!open_ || names.isEmpty())
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(
        QStringLiteral("SELECT 1 FROM games WHERE line_name IN (%1) AND line_key <> ? LIMIT 1")
            .arg(QStringList(names.size(), QStringLiteral("?")).join(u',')));
    for (const QString& name : names)
        q.addBindValue(name);
    q.addBindValue(lineKey);
    return q.exec() && q.next();
}

int History::adoptFormerLine(const QStringList& formerNames, const QString& lineKey,
                             const QStringList& stations, const QString& lineFile)
{
    if (!open_ || readOnly_ || formerNames.isEmpty())
        return 0;
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery q(db);
    QStringList marks;
    for (qsizetype i = 0; i < formerNames.size(); ++i)
        marks << QStringLiteral("?");
    q.prepare(QStringLiteral("SELECT DISTINCT line_key FROM games WHERE line_key <> ? AND "
                             "line_name IN (%1)")
                  .arg(marks.join(u',')));
    q.addBindValue(lineKey);
    for (const QString& name : formerNames)
        q.addBindValue(name);
    QStringList oldKeys;
    if (!q.exec()) {
        failFrom(q.lastError(), Failure::Other);
        return -1;
    }
    while (q.next())
        oldKeys << q.value(0).toString();
    if (oldKeys.isEmpty())
        return 0;
    QHash<QString, int> newIndex;
    for (int i = 0; i < stations.size(); ++i)
        newIndex.insert(stations[i], i);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        failFrom(q.lastError(), Failure::Other);
        return -1;
    }
    int moved = 0;
    bool ok = true;
    for (const QString& oldKey : oldKeys) {
        // A line of the same old name elsewhere (two sections once both called 東海道本線)
        // stays where it is: the games move only where most of their stations are.
        const Fit fit = fitOf(db, oldKey, newIndex);
        if (fit.matched * 2 < fit.answers)
            continue;
        // Games that ran against the new line's order become games in its other direction, so
        // that the links learnt in 駅当て keep their direction of travel.
        const bool turned = fit.order < 0;
        QSqlQuery u(db);
        u.prepare(QStringLiteral("UPDATE games SET line_key = ?, line_file = ?, reversed = CASE "
                                 "WHEN ? THEN 1 - COALESCE(reversed, 0) ELSE reversed END "
                                 "WHERE line_key = ?"));
        u.addBindValue(lineKey);
        u.addBindValue(lineFile);
        u.addBindValue(turned ? 1 : 0);
        u.addBindValue(oldKey);
        ok = u.exec();
        if (!ok) {
            failFrom(u.lastError(), Failure::Other);
            break;
        }
        moved += u.numRowsAffected();
    }
    if (ok && rebuildIn(db) && q.exec(QStringLiteral("COMMIT")))
        return moved;
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return -1;
}
