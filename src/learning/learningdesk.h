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
#include <QSet>

// The new stations a lesson on the loaded line introduces today.
struct LessonPlan
{
    QList<int> entries; // what its games hold: in 駅当て each station with the one before it
    QList<int> asked; // the entries whose reading is asked: the cards the lesson makes
    int allowedToday = 0; // new cards still allowed today
};

// What today holds: the reviews due (within the day's limit) and the new stations waiting.
struct DailyQueue
{
    int due = 0; // cards today's review asks
    int dueLines = 0;
    int waiting = 0; // due cards past the day's limit
    int newStations = 0; // new stations a lesson would introduce now
    QString newLine; // on this line
    QString newLineFile;
};

class LearningDesk;
// The loaded line takes the games of its former names (LearningDesk::adoptLoadedLine), and what
// the status bar then says of it; "" when nothing moved. Never silently.
QString AdoptedText(LearningDesk& desk);

// Days 成績's forecast of reviews covers, today first.
inline constexpr int kForecastDays = 14;

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
    // Where a line of the history is on this computer: its file as the history has it or, for
    // a game played on another computer (whose library lies elsewhere), the file of the library
    // or of the player's own lines that holds the same line. "" when none does.
    QString fileOfLine(const QString& path, const QString& lineKey);
    // The share of the line in a file that is known ("72%"), or "" when nothing is known yet;
    // from the counts refreshKnown last read.
    QString knownShareText(const QString& path);
    void refreshKnown(QDate today);
    // What 路線一覧 shows beside a line: 「学習中」 for a line of the learner's list, then the
    // share known; from what refreshKnown last read.
    QString menuNote(const QString& path);

    // A lesson on the loaded line in the selected mode (readings, or in 駅当て the links between
    // stations whose readings have cards), in the direction it is ridden.
    LessonPlan planLesson(int perDay, QDate today);
    // Today's reviews and new stations: the reviews within `reviewLimit`, the new stations of
    // the first line of the learner's list that has any.
    DailyQueue dailyQueue(int perDay, int reviewLimit, QDate today);
    // Today's due cards by line within the day's limit, the least likely to be recalled first;
    // `waiting` receives how many wait.
    QList<DueLine> todayReview(int reviewLimit, QDate today, int* waiting);
    // The loaded line joins the learner's list (at its end) if it is not on it.
    void joinLearningList();
    // The files of these lines that are on the learner's list.
    QSet<QString> learningPaths(const QList<IndexedLine>& lines);

    // The loaded line, when its file names former names, takes the games kept under them; a
    // name that a line of the library still has moves nothing (it would take that line's games).
    // The games moved; `names` receives the former names they came from.
    int adoptLoadedLine(QStringList* names = nullptr);
    // The library's lines named after due lines whose file is gone take their games along.
    // True when games moved (today's review then asks again).
    bool adoptMovedLines(const QList<DueLine>& due);

private:
    HistoryKeeper& history_;
    LineLibrary& library_;
    QHash<QString, int> knownByLine_;
    QSet<QString> learningKeys_; // the keys of the learner's list
};
