// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the progress window (成績) and the map show of the learner, gathered from the history by
// LearningDesk: the full games of a line in a mode, its stations with the state of their cards,
// and the whole library's progress with the days played. Plain data: the windows read nothing
// else.

#include "card.h"
#include "questionlog.h"
#include "settingsschema.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>

// A full game (completed, over the whole line) as a point of the chart.
struct GamePoint
{
    QDateTime when;
    double rate = 0.0; // 0 to 1
    std::int32_t score = 0;
};

// One station of the line as the route diagram shows it.
struct StationProgress
{
    QString name;
    QString reading;
    QString number; // its station number(s) as the line file gives them; "" when none
    CardState state = CardState::New;
    double recall = -1.0; // predicted chance of recalling it now, 0 to 1; -1 when new
    QDate due; // next due day; invalid when new
    QList<Outcome> lastAnswers; // most recent first, at most five
};

struct LineProgress
{
    QString lineName;
    QString symbol; // the line's symbol (JY, M) as its file gives it; "" when none
    std::int32_t mode = 0; // 1 読み当て, 2 駅当て (早打ち schedules nothing)
    // The line's colour as 0xAARRGGBB (a QRgb); grey when its file names none.
    std::uint32_t colour = 0xff9e9e9e;
    QList<GamePoint> games; // oldest first
    QList<StationProgress> stations; // in running order
    bool loop = false; // the line runs round
    // Cards of the line (both modes) falling due on each of the coming days, today first (with
    // what is overdue); empty without a history.
    QList<int> forecast;
    // The day every station of the line had its card in the mode shown; invalid until then.
    QDate completeSince;
};

struct RegionProgress
{
    QString region; // as the line menu names it: 関東, 近畿, ...
    int stations = 0;
    int known = 0;
};

struct LibraryProgress
{
    QList<RegionProgress> regions;
    int stations = 0; // all stations of the library (each line's stations counted once per line)
    int known = 0;
    QMap<QDate, int> reviewsPerDay; // questions answered on each day played
    QList<QDate> reviewCleared; // days on which today's review was answered to the end
    int dailyGoal = setting::kDailyGoal.fallback;
    int streak = 0; // days in a row, up to today, on which the goal was met
};

// A station as the route diagram labels it: its number before its name, as on the signs.
QString StationLabel(const StationProgress& station);

// Share of the line's stations known, 0 to 1.
double KnownShare(const LineProgress& line);
