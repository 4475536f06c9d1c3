// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every setting kept between runs, declared once: its key in tabidori.conf, its default and the
// values it takes. The file's reader and writer, the learning settings window, the game state
// and the scheduler all take their numbers from here, so a limit changed here changes for all of
// them. Constants only, without Qt, so that the lowest of them (the scheduler) can include it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace setting {

// On or off. The file says true or 1, false or 0, in any case.
struct Switch
{
    std::string_view key;
    bool fallback;
};

// A whole number from min to max.
struct Whole
{
    std::string_view key;
    std::int32_t fallback;
    std::int32_t min;
    std::int32_t max;

    constexpr bool accepts(std::int64_t value) const { return value >= min && value <= max; }
};

// A number from min to max; not-a-number is refused.
struct Real
{
    std::string_view key;
    double fallback;
    double min;
    double max;

    constexpr bool accepts(double value) const { return value >= min && value <= max; }
};

// One of a few whole numbers, rising. Any other number is taken as the first choice not below
// it, and as the last choice above them all.
template<std::size_t N> struct Choice
{
    std::string_view key;
    std::array<std::int32_t, N> choices;
    std::int32_t fallback;

    constexpr std::int32_t nearest(std::int64_t value) const
    {
        for (const std::int32_t choice : choices) {
            if (value <= choice)
                return choice;
        }
        return choices.back();
    }
    constexpr bool wellFormed() const
    {
        for (std::size_t i = 1; i < N; ++i) {
            if (choices[i - 1] >= choices[i])
                return false;
        }
        return N > 0 && nearest(fallback) == fallback;
    }
};

// Any text.
struct Text
{
    std::string_view key;
};

// The version of the keys below; a later program that changes their meaning moves it on.
inline constexpr std::string_view kVersionKey = "version";
inline constexpr std::int32_t kVersion = 1;

inline constexpr Switch kSound {"sound", true};
// The game modes by their numbers (GameMode), 早打ち to 駅当て.
inline constexpr Whole kMode {"mode", 0, 0, 2};
// The path of the last line loaded, "" for none.
inline constexpr Text kLastLine {"lastLine"};
// This installation's id (a UUID, made on the first run) and the folder through which the
// history is shared with other computers ("" for none).
inline constexpr Text kInstallation {"installation"};
inline constexpr Text kSharedFolder {"share/folder"};

// 学習の設定. The defaults are the game exactly as it was designed.
// Seconds a question gives. Points stay 0 to 10 whatever it is.
inline constexpr Choice<4> kQuestionSeconds {"learning/questionSeconds", {10, 15, 20, 30}, 10};
// 読み当て asks its stations in a random order.
inline constexpr Switch kShuffled {"learning/shuffled", false};
// The line is ridden from its terminus back to its first station.
inline constexpr Switch kReversed {"learning/reversed", false};
// After a wrong answer or a time-out, the right reading is shown for a moment.
inline constexpr Switch kCorrection {"learning/correction", true};
// After a miss the player types the right reading once (not scored).
inline constexpr Switch kRetype {"learning/retype", false};
// 読み上げ: 0 しない, 1 間違えたとき, 2 答えのあと. Off as designed: the game speaks only when
// the player asks for it.
inline constexpr Choice<3> kSpeech {"learning/speech", {0, 1, 2}, 0};
// The chance of recall at which a station comes up for review again. Outside this range the
// schedule is either too sparse to learn from or too dense to keep up with.
inline constexpr Real kRetention {"learning/retention", 0.9, 0.80, 0.97};
// Reviews a day that keep the streak going.
inline constexpr Whole kDailyGoal {"learning/dailyGoal", 50, 1, 1000};
// New stations a day that 新しい駅を覚える introduces (0: none).
inline constexpr Whole kNewPerDay {"learning/newPerDay", 10, 0, 50};
// Most cards today's review asks in a day; the rest wait, the most forgotten asked first.
inline constexpr Whole kReviewLimit {"learning/reviewLimit", 200, 10, 9999};

static_assert(kMode.accepts(kMode.fallback) && kMode.min <= kMode.max);
static_assert(kQuestionSeconds.wellFormed());
static_assert(kSpeech.wellFormed());
static_assert(kRetention.accepts(kRetention.fallback) && kRetention.min <= kRetention.max);
static_assert(kDailyGoal.accepts(kDailyGoal.fallback) && kDailyGoal.min <= kDailyGoal.max);
static_assert(kNewPerDay.accepts(kNewPerDay.fallback) && kNewPerDay.min <= kNewPerDay.max);
static_assert(kReviewLimit.accepts(kReviewLimit.fallback) && kReviewLimit.min <= kReviewLimit.max);

} // namespace setting
