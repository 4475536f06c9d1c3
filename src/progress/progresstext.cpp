// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "progresstext.h"
#include "gamestate.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

QString Grouped(qint64 n)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(n);
}

QString CardStateName(CardState state)
{
    switch (state) {
    case CardState::New:
        return QStringLiteral("未出題");
    case CardState::Learning:
        return QStringLiteral("学習中");
    case CardState::Known:
        return QStringLiteral("覚えた");
    case CardState::Due:
        return QStringLiteral("復習日");
    case CardState::Forgotten:
        return QStringLiteral("忘れた");
    }
    return {};
}

QString LineCaption(const LineProgress& line)
{
    const QString name = line.symbol.isEmpty() ? line.lineName : line.symbol + u' ' + line.lineName;
    if (ModeListName(line.mode).isEmpty())
        return name;
    return QStringLiteral("%1（%2）").arg(name, GetModeName(line.mode));
}

int WholePercent(double share)
{
    // Rounded down: 999 of 1,000 stations is 99%, not all of them.
    return int(std::floor(std::clamp(share, 0.0, 1.0) * 100.0 + 1e-9));
}

QString KnownShareText(const LineProgress& line)
{
    if (line.stations.isEmpty())
        return QStringLiteral("この路線には駅がありません");
    const int known
        = int(std::count_if(line.stations.cbegin(), line.stations.cend(),
                            [](const StationProgress& s) { return s.state == CardState::Known; }));
    // 駅当て's cards are the line's order, not the stations' readings that 路線一覧 counts.
    const QString text = line.mode == kModeEkiate
        ? QStringLiteral("駅当てでは、この路線の %1% を覚えました（%2 駅のうち %3 駅）")
        : QStringLiteral("この路線の %1% を覚えました（%2 駅のうち %3 駅）");
    return text.arg(WholePercent(KnownShare(line)))
        .arg(Grouped(line.stations.size()), Grouped(known));
}

QString LineCountsText(const LineProgress& line)
{
    QStringList parts;
    for (const CardState state : {CardState::New, CardState::Learning, CardState::Known,
                                  CardState::Due, CardState::Forgotten}) {
        const auto n
            = std::count_if(line.stations.cbegin(), line.stations.cend(),
                            [state](const StationProgress& s) { return s.state == state; });
        if (n > 0 || state != CardState::Forgotten)
            parts << QStringLiteral("%1 %2").arg(CardStateName(state), Grouped(n));
    }
    QString text = parts.join(QStringLiteral("・"));
    if (line.completeSince.isValid())
        text += QStringLiteral("　全駅がそろった日 %1")
                    .arg(line.completeSince.toString(QStringLiteral("yyyy/MM/dd")));
    return text;
}

QString LibraryKnownText(const LibraryProgress& library)
{
    const double share = library.stations > 0 ? double(library.known) / library.stations : 0.0;
    // A station of several lines is one card on each, and counts once for each of them.
    return QStringLiteral("全国 のべ %1 駅（路線ごとに数えて）のうち %2 駅（%3%）を覚えました")
        .arg(Grouped(library.stations), Grouped(library.known))
        .arg(WholePercent(share));
}

QString StreakText(const LibraryProgress& library)
{
    return QStringLiteral("連続 %1 日（1日の目標 %2 問）")
        .arg(Grouped(library.streak), Grouped(library.dailyGoal));
}

QString StationDetailText(const StationProgress& station)
{
    QStringList lines;
    lines << (station.reading.isEmpty()
                  ? StationLabel(station)
                  : QStringLiteral("%1（%2）").arg(StationLabel(station), station.reading));
    if (station.state == CardState::New) {
        lines << QStringLiteral("まだ出題されていません");
        return lines.join(u'\n');
    }
    QStringList answers;
    for (const Outcome o : station.lastAnswers) {
        if (o != Outcome::NotAsked)
            answers << OutcomeName(o);
    }
    QString state = QStringLiteral("状態: %1").arg(CardStateName(station.state));
    if (!answers.isEmpty())
        state += QStringLiteral("　最近の答え（新しい順）: ") + answers.join(QStringLiteral("・"));
    lines << state;
    QStringList next;
    if (station.due.isValid())
        next << QStringLiteral("次の復習日 %1")
                    .arg(station.due.toString(QStringLiteral("yyyy/MM/dd")));
    if (station.recall >= 0.0)
        next
            << QStringLiteral("思い出せる見込み %1%").arg(int(std::lround(station.recall * 100.0)));
    if (!next.isEmpty())
        lines << next.join(QStringLiteral("　"));
    return lines.join(u'\n');
}
