// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How an answer moves a card, and the daily goal: rules of the memory that the game, the history
// and the windows share.

#include "questionlog.h"

#include <QDate>
#include <QMap>
#include <cstdint>

// How well an answer was known, as the scheduler grades it: 1 forgotten (wrong or timed out),
// 2 hard, 3 good, 4 easy. Never asked of the player: it comes from the game. The time spent
// thinking is the time taken less a typing allowance of 0.2 s a character of the reading, so
// that a long name typed at once is not graded down for its length. Hard: a hint was taken, or
// thinking used more than two thirds of the time. Easy: no hint and thinking within the first
// quarter. Good otherwise.
int AnswerGrade(Outcome outcome, std::int32_t tenthsTaken, std::int32_t hints,
                std::int32_t questionTenths, qsizetype readingLength);

// Days in a row, up to today, on which the goal was met: at least goal answers, or today's
// review answered to the end (a day whose due cards were all answered met its goal, however
// few they were). Today counts once it has met the goal; until then the streak runs to
// yesterday.
int GoalStreak(const QMap<QDate, int>& answersPerDay, int goal, QDate today,
               const QList<QDate>& reviewCleared = {});
