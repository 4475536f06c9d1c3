// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamestate.h"

std::int32_t gGameMode = 0;
std::int16_t gStopRequest = 0;
std::int32_t gCurrentStation = 0;
std::int32_t gScore = 0;
float gCorrectRate = 0.0f;
std::int32_t gStoppedAfter = -1;
LearningSettings gLearning;

void ResetGameState()
{
    gGameMode = 0;
    gStopRequest = 0;
    gCurrentStation = 0;
    gScore = 0;
    gCorrectRate = 0.0f;
    gStoppedAfter = -1;
    gLearning = {};
}

std::int32_t QuestionSecondsFrom(std::int64_t seconds)
{
    return setting::kQuestionSeconds.nearest(seconds);
}

QString ModeListName(std::int64_t mode)
{
    switch (mode) {
    case kModeHayauchi:
        return QStringLiteral("早打ち");
    case kModeYomiate:
        return QStringLiteral("読み当て");
    case kModeEkiate:
        return QStringLiteral("駅当て");
    default:
        return {};
    }
}

QString GetModeName(std::int64_t mode)
{
    return ModeListName(mode) + QStringLiteral("モード");
}

int GetRateGrade(float rate)
{
    if (rate == 1.0f)
        return 2;
    // The single-precision rate against the double 0.8: 4/5 stored as a float lies just above.
    if (double(rate) < 0.8)
        return 0;
    return 1;
}
