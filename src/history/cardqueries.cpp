// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// What the history tells of the cards and the games: today's due cards, the weakest stations,
// what is known, the full games of a line, the days played, and the whole history as CSV.
#include "history.h"
#include "historyrows.h"

#include <QFile>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace {

// A CSV field: quoted when it holds a comma, a quote or a line end.
QString csv(const QString& field)
{
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n')
        && !field.contains(u'\r'))
        return field;
    return u'"' + QString(field).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

DueSummary History::dueSummary(QDate today) const
{
    DueSummary s;
    if (!open_)
        return s;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(
        QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT line_key) FROM cards WHERE due <= ?"));
    q.addBindValue(today.toString(Qt::ISODate));
    if (q.exec() && q.next()) {
        s.cards = q.value(0).toInt();
        s.lines = q.value(1).toInt();
    }
    return s;
}

QList<DueLine> History::dueLines(QDate today) const
{
    QList<DueLine> lines;
    if (!open_)
        return lines;
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT %1 FROM cards WHERE due <= ? "
                             "ORDER BY line_key, mode, reversed")
                  .arg(history_rows::kCardColumns));
    q.addBindValue(today.toString(Qt::ISODate));
    if (!q.exec())
        return lines;
    while (q.next()) {
        const StoredCard c = history_rows::cardAt(q);
        if (lines.isEmpty() || lines.last().lineKey != c.lineKey || lines.last().mode != c.mode
            || lines.last().reversed != c.reversed)
            lines.append({c.lineKey, {}, {}, c.mode, c.reversed, {}});
        lines.last().cards.append(c);
    }
    // Where each line was last played from, and under which name.
    QSqlQuery g(db);
    g.prepare(QStringLiteral("SELECT line_name, line_file FROM games WHERE line_key = ? "
                             "ORDER BY played_at DESC, id DESC LIMIT 1"));
    for (DueLine& line : lines) {
        g.addBindValue(line.lineKey);
        if (g.exec() && g.next()) {
            line.lineName = g.value(0).toString();
            line.lineFile = g.value(1).toString();
        }
        g.finish();
    }
    std::stable_sort(lines.begin(), lines.end(), [](const DueLine& a, const DueLine& b) {
        return a.cards.size() > b.cards.size();
    });
    return lines;
}

QList<StoredCard> History::cardsOf(const QString& lineKey, std::int32_t mode) const
{
    QList<StoredCard> cards;
    if (!open_)
        return cards;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(QStringLiteral("SELECT %1 FROM cards WHERE line_key = ? AND mode = ?")
                  .arg(history_rows::kCardColumns));
    q.addBindValue(lineKey);
    q.addBindValue(mode);
    if (q.exec()) {
        while (q.next())
            cards.append(history_rows::cardAt(q));
    }
    return cards;
}

QList<MissedStation> History::weakest(const QString& lineKey, std::int32_t mode, QDate today,
                                      int limit) const
{
    QList<MissedStation> out;
    for (const StoredCard& c : cardsOf(lineKey, mode))
        out.append({c.station, c.reading, c.lapses, RecallOf(c, today)});
    std::stable_sort(out.begin(), out.end(), [](const MissedStation& a, const MissedStation& b) {
        return a.recall < b.recall;
    });
    // What is recalled nine times in ten is no weak station.
    out.erase(std::remove_if(out.begin(), out.end(),
                             [this](const MissedStation& s) { return s.recall >= retention_; }),
              out.end());
    return out.mid(0, limit);
}

QHash<QString, int> History::knownByLine(QDate today) const
{
    QHash<QString, int> known;
    if (!open_)
        return known;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.setForwardOnly(true);
    // The memory's rule decides; only cards that could be known are read.
    q.prepare(QStringLiteral("SELECT %1 FROM cards WHERE mode = ? AND last_right = 1 AND due > ?")
                  .arg(history_rows::kCardColumns));
    q.addBindValue(int(kCardReading));
    q.addBindValue(today.toString(Qt::ISODate));
    if (q.exec()) {
        while (q.next()) {
            const StoredCard c = history_rows::cardAt(q);
            if (MakesStationKnown(c, today))
                ++known[c.lineKey];
        }
    }
    return known;
}

QList<GameRecord> History::fullGames(const QString& lineKey, std::int32_t mode) const
{
    QList<GameRecord> games;
    if (!open_)
        return games;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.prepare(QStringLiteral("SELECT played_at, rate, score, asked, right_answers FROM games "
                             "WHERE line_key = ? AND mode = ? AND COALESCE(retry, 0) = 0 "
                             "AND COALESCE(completed, 1) = 1 ORDER BY played_at, id"));
    q.addBindValue(lineKey);
    q.addBindValue(mode);
    if (q.exec()) {
        while (q.next()) {
            GameRecord g;
            g.when = QDateTime::fromString(q.value(0).toString(), Qt::ISODate);
            g.rate = q.value(1).toDouble();
            g.score = q.value(2).toInt();
            g.asked = q.value(3).toInt();
            g.right = q.value(4).toInt();
            g.lineKey = lineKey;
            g.mode = mode;
            games.append(g);
        }
    }
    return games;
}

QHash<QString, QList<Outcome>> History::lastOutcomes(const QString& lineKey,
                                                     std::int32_t mode) const
{
    QHash<QString, QList<Outcome>> out;
    if (!open_)
        return out;
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT a.station, a.reading, a.outcome FROM answers a "
                             "JOIN games g ON g.id = a.game_id WHERE g.line_key = ? AND g.mode = ? "
                             "ORDER BY g.played_at DESC, g.id DESC"));
    q.addBindValue(lineKey);
    q.addBindValue(mode);
    if (q.exec()) {
        while (q.next()) {
            QList<Outcome>& list = out[StationKey(q.value(0).toString(), q.value(1).toString())];
            if (list.size() < 5)
                list.append(history_rows::outcomeNamed(q.value(2).toString()));
        }
    }
    return out;
}

QMap<QDate, int> History::answersPerDay() const
{
    QMap<QDate, int> days;
    if (!open_)
        return days;
    QSqlQuery q(QSqlDatabase::database(connection_));
    if (q.exec(QStringLiteral("SELECT substr(played_at, 1, 10), SUM(asked) FROM games "
                              "GROUP BY substr(played_at, 1, 10)"))) {
        while (q.next())
            days.insert(QDate::fromString(q.value(0).toString(), Qt::ISODate), q.value(1).toInt());
    }
    return days;
}

bool History::exportCsv(const QString& path, QString* why) const
{
    QSaveFile file(path);
    if (!open_ || !file.open(QIODevice::WriteOnly)) {
        if (why)
            *why = open_ ? file.errorString() : QStringLiteral("no history");
        return false;
    }
    QSqlQuery q(QSqlDatabase::database(connection_));
    q.setForwardOnly(true);
    const bool read = q.exec(QStringLiteral(
        "SELECT g.played_at, g.line_name, g.line_key, g.mode, g.retry, g.completed, "
        "COALESCE(g.reversed, 0), a.position, a.station, a.reading, a.outcome, a.seconds, "
        "a.hints FROM answers a JOIN games g ON g.id = a.game_id ORDER BY g.played_at, g.id, "
        "a.position"));
    QByteArray out
        = QByteArrayLiteral("played_at,line_name,line_key,mode,retry,completed,"
                            "reversed,position,station,reading,outcome,seconds,hints\r\n");
    while (read && q.next()) {
        QStringList fields;
        for (int i = 0; i < 13; ++i)
            fields << csv(q.value(i).toString());
        out += fields.join(u',').toUtf8() + "\r\n";
        if (out.size() > (1 << 20)) {
            file.write(out);
            out.clear();
        }
    }
    file.write(out);
    if (read && file.commit())
        return true;
    if (why)
        *why = read ? file.errorString() : QStringLiteral("cannot read the history");
    return false;
}
