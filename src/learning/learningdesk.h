// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The learner's side of the program, below the windows: what 成績, 路線一覧 and the map show of
// the memory, gathered from the history and the line library by the memory's rules, and the
// games of a line once called by another name moved to it. Windows ask; nothing here shows.

#include "history.h"
#include "historykeeper.h"
#include "linelibrary.h"
#include "progressdata.h"

#include <QHash>

class LearningDesk
{
public:
    LearningDesk(HistoryKeeper& history, LineLibrary& library);

    // The loaded line in the selected mode (早打ち shows 読み当て's cards): its full games and
    // each station's card, in the table's order. Every station is new without a history.
    LineProgress loadedLine(QDate today);
    // The loaded line's stations in its file's order, each in the state of its card; a station
    // the table does not hold (or a line never played) is new.
    QList<CardState> loadedStatesInFileOrder(QDate today);
    // Stations known over the library by region, the answers of each day, the goal and streak.
    LibraryProgress library(int dailyGoal, QDate today);
    // The share of the line in a file that is known ("72%"), or "" when nothing is known yet;
    // from the counts refreshKnown last read.
    QString knownShareText(const QString& path);
    void refreshKnown(QDate today);

    // The loaded line, when its file names former names, takes the games kept under them.
    // True when games moved.
    bool adoptLoadedLine();
    // The library's lines named after due lines whose file is gone take their games along.
    // True when games moved (today's review then asks again).
    bool adoptMovedLines(const QList<DueLine>& due);

private:
    HistoryKeeper& history_;
    LineLibrary& library_;
    QHash<QString, int> knownByLine_;
};
