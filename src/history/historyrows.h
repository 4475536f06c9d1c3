// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the history's rows read and write, shared by its files: the outcome names of the answers
// table and the columns of a card.

#include "history.h"

#include <QSqlQuery>
#include <QVariant>

namespace history_rows {

inline const char* outcomeName(Outcome o)
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

inline Outcome outcomeNamed(const QString& name)
{
    for (const Outcome o : {Outcome::Right, Outcome::Wrong, Outcome::TimedOut}) {
        if (name == QLatin1String(outcomeName(o)))
            return o;
    }
    return Outcome::NotAsked;
}

// The columns of a card, in the order cardAt reads them.
inline const QString kCardColumns = QStringLiteral(
    "line_key, mode, station, reading, reversed, stability, difficulty, due, last_review, reps, "
    "lapses, last_right, first_review");

inline StoredCard cardAt(const QSqlQuery& q)
{
    StoredCard c;
    c.lineKey = q.value(0).toString();
    c.mode = q.value(1).toInt();
    c.station = q.value(2).toString();
    c.reading = q.value(3).toString();
    c.reversed = q.value(4).toInt() != 0;
    c.stability = q.value(5).toDouble();
    c.difficulty = q.value(6).toDouble();
    c.due = QDate::fromString(q.value(7).toString(), Qt::ISODate);
    c.lastReview = QDate::fromString(q.value(8).toString(), Qt::ISODate);
    c.reps = q.value(9).toInt();
    c.lapses = q.value(10).toInt();
    c.lastRight = q.value(11).toInt() != 0;
    c.firstReview = QDate::fromString(q.value(12).toString(), Qt::ISODate);
    return c;
}

} // namespace history_rows
