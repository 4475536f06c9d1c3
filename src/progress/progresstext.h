// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sentences of the progress window, apart from its widgets so that they can be checked.

#include "progressdata.h"

#include <QString>

// A count with thousands grouped, as Japanese text writes it: 2,321.
QString Grouped(qint64 n);
// The state of a card in a word of the legend: 未出題, 学習中, 覚えた, 復習日, 忘れた.
QString CardStateName(CardState state);
// 「山手線（読み当てモード）」; the line's name alone for a mode without a name.
QString LineCaption(const LineProgress& line);
// 「この路線の 72% を覚えました（29 駅のうち 21 駅）」.
QString KnownShareText(const LineProgress& line);
// The line's stations by state (未出題 12・学習中 10・覚えた 8), and the day it was complete.
QString LineCountsText(const LineProgress& line);
// 「全国 のべ 2,321 駅（路線ごとに数えて）のうち 312 駅（13%）を覚えました」: a station on
// three lines counts three times.
QString LibraryKnownText(const LibraryProgress& library);
// 「連続 5 日（1日の目標 50 問）」.
QString StreakText(const LibraryProgress& library);
// What the route diagram tells of a selected station, one fact a line.
QString StationDetailText(const StationProgress& station);
// A share as a whole percentage that reaches 100 only when it is whole.
int WholePercent(double share);
