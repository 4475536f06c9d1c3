// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "grade.h"
#include "gameloop.h"

#include <algorithm>

int AnswerGrade(Outcome outcome, std::int32_t tenthsTaken, std::int32_t hints,
                std::int32_t questionTenths, qsizetype readingLength)
{
    if (outcome != Outcome::Right)
        return 1;
    const std::int64_t total = questionTenths > 0 ? questionTenths : kQuestionTenths;
    const std::int64_t thinking
        = std::max<std::int64_t>(0, std::int64_t(tenthsTaken) - 2 * readingLength);
    if (hints > 0 || thinking * 3 > total * 2)
        return 2;
    if (thinking * 4 <= total)
        return 4;
    return 3;
}

int GoalStreak(const QMap<QDate, int>& answersPerDay, int goal, QDate today,
               const QList<QDate>& reviewCleared)
{
    const auto met = [&](QDate day) {
        return answersPerDay.value(day) >= std::max(goal, 1)
            || (answersPerDay.value(day) > 0 && reviewCleared.contains(day));
    };
    QDate day = met(today) ? today : today.addDays(-1);
    int streak = 0;
    while (met(day)) {
        ++streak;
        day = day.addDays(-1);
    }
    return streak;
}
