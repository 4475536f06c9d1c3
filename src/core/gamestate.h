// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game-state globals every part of the game agrees on, the modes and the grades of a rate.
// Flags are 16-bit with true = -1.

#include "settingsschema.h"

#include <QString>
#include <cstdint>

// The modes, as numbered in the mode list and on the command line.
enum GameMode : std::int32_t {
    kModeNone = -1,
    kModeHayauchi = 0, // 早打ち: type the reading the plate shows
    kModeYomiate = 1, // 読み当て: the plate hides the station's reading
    kModeEkiate = 2, // 駅当て: the plate hides the next station
};
static_assert(setting::kMode.min == kModeHayauchi && setting::kMode.max == kModeEkiate
              && setting::kMode.fallback == kModeHayauchi);

extern std::int32_t gGameMode; // selected mode, -1 to 2
extern std::int16_t gStopRequest; // -1 asks the running game to stop
extern std::int32_t gCurrentStation; // index of the station whose plate is shown
extern std::int32_t gScore; // points of the current or last game
extern float gCorrectRate; // share of right answers of the last game (of those judged if stopped)
// Questions judged before the last game was stopped; -1 when it was not stopped.
extern std::int32_t gStoppedAfter;

// How the player chose to learn (オプション → 学習の設定 and 間違えたら正しい読みを表示). The
// defaults and the values each takes are those of settingsschema.h.
struct LearningSettings
{
    // Seconds a question gives, one of the choices. Points stay 0 to 10 whatever it is.
    std::int32_t questionSeconds = setting::kQuestionSeconds.fallback;
    bool shuffled = setting::kShuffled.fallback; // 読み当て asks its stations in a random order
    // The line is ridden from its terminus back to its first station.
    bool reversed = setting::kReversed.fallback;
    // After a wrong answer or a time-out, the right reading is shown for a moment before the
    // game goes on.
    bool correction = setting::kCorrection.fallback;
    // After a miss the player types the right reading once (not scored) before the game goes on.
    bool retype = setting::kRetype.fallback;
    // The chance of recall at which a station comes up for review again.
    double retention = setting::kRetention.fallback;
    // Reviews a day that keep the streak going.
    std::int32_t dailyGoal = setting::kDailyGoal.fallback;
    // New stations a day in a lesson, and most cards today's review asks in a day.
    std::int32_t newPerDay = setting::kNewPerDay.fallback;
    std::int32_t reviewLimit = setting::kReviewLimit.fallback;
    // When a station's reading is spoken (Speech).
    std::int32_t speech = setting::kSpeech.fallback;
};
extern LearningSettings gLearning;

// 読み上げ, as the learning settings number it.
enum Speech : std::int32_t { kSpeechOff = 0, kSpeechMisses = 1, kSpeechAnswers = 2 };
static_assert(setting::kSpeech.choices[0] == kSpeechOff
              && setting::kSpeech.choices[2] == kSpeechAnswers);

// A number of seconds as one of the choices of setting::kQuestionSeconds (the nearest one not
// below it, at most the last).
std::int32_t QuestionSecondsFrom(std::int64_t seconds);

// Puts the globals back to their start values (for tests).
void ResetGameState();

// The mode's caption: "早打ちモード", "読み当てモード", "駅当てモード", or "モード".
QString GetModeName(std::int64_t mode);
// The item text of a mode in the mode list ("" for none).
QString ModeListName(std::int64_t mode);

// 2 when every asked station was right, 0 below 0.8, 1 otherwise.
int GetRateGrade(float rate);

// Asked entries start one station later in 駅当て.
inline std::int32_t AnswerOffset(std::int32_t mode)
{
    return mode == kModeEkiate ? 1 : 0;
}
