// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// What the history keeps of the learner beyond the games: the days today's review was done, the
// new cards of a day, the reviews to come, and the list of lines being learnt.
#include "history.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

QList<QDate> History::reviewClearedDays() const
{
    QList<QDate> days;
    if (!open_)
        return days;
    QSqlQuery q(QSqlDatabase::database(connection_));
    if (q.exec(QStringLiteral("SELECT day FROM review_days ORDER BY day"))) {
        while (q.next())
            days << QDate::fromString(q.value(0).toString(), Qt::ISODate);
    }
    return days;
}

bool History::markReviewCleared(QDate day)
{
    if (!open_ || readOnly_)
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO review_days (day) VALUES (?)"));
    q.addBindValue(day.toString(Qt::ISODate));
    if (q.exec())
        return true;
    failFrom(q.lastError(), Failure::Other);
    return false;
}

int History::newCardsOn(QDate day, std::int32_t mode) const
{
    if (!open_)
        return 0;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM cards WHERE mode = ? AND first_review = ?"));
    q.addBindValue(mode);
    q.addBindValue(day.toString(Qt::ISODate));
    return q.exec() && q.next() ? q.value(0).toInt() : 0;
}

QMap<QDate, int> History::dueForecast(const QString& lineKey, QDate from, int days) const
{
    QMap<QDate, int> out;
    if (!open_)
        return out;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(QStringLiteral("SELECT due, COUNT(*) FROM cards WHERE line_key = ? AND due < ? "
                             "GROUP BY due"));
    q.addBindValue(lineKey);
    q.addBindValue(from.addDays(days).toString(Qt::ISODate));
    if (q.exec()) {
        while (q.next()) {
            // What is overdue is due on the first day.
            const QDate due = std::max(from, QDate::fromString(q.value(0).toString(), Qt::ISODate));
            out[due] += q.value(1).toInt();
        }
    }
    return out;
}

QList<LearningLine> History::learningLines() const
{
    QList<LearningLine> lines;
    if (!open_)
        return lines;
    QSqlQuery q(QSqlDatabase::database(connection_));
    if (q.exec(QStringLiteral(
            "SELECT line_key, line_name, line_file FROM learning_lines ORDER BY position"))) {
        while (q.next())
            lines.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    }
    return lines;
}

bool History::setLearningLines(const QList<LearningLine>& lines)
{
    if (!open_ || readOnly_)
        return false;
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery q(db);
    bool ok = q.exec(QStringLiteral("BEGIN IMMEDIATE"))
        && q.exec(QStringLiteral("DELETE FROM learning_lines"));
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO learning_lines (position, line_key, "
                             "line_name, line_file) VALUES (?, ?, ?, ?)"));
    for (qsizetype i = 0; ok && i < lines.size(); ++i) {
        q.addBindValue(int(i));
        q.addBindValue(lines[i].lineKey);
        q.addBindValue(lines[i].lineName);
        q.addBindValue(lines[i].lineFile);
        ok = q.exec();
    }
    if (ok && QSqlQuery(db).exec(QStringLiteral("COMMIT")))
        return true;
    failFrom(q.lastError(), Failure::Other);
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return false;
}
