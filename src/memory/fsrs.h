// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// When to ask a station again: the FSRS-6 spaced-repetition model with its published default
// weights, not fitted to the player. A memory is a stability S, the days until the chance of
// recall falls to 90%, and a difficulty D in [1, 10]. Each review moves both by the grade and by
// how much had been forgotten since the last one; the next review falls on the day the chance of
// recall reaches the desired retention. Pure functions on whole local days, no state of their own.

#include "settingsschema.h"

#include <QDate>
#include <array>

namespace fsrs {

enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// w0..w3 first stability by grade; w4, w5 first difficulty; w6, w7 difficulty step and its pull
// back toward an Easy card's; w8..w10 growth on recall; w11..w14 stability after a lapse; w15,
// w16 Hard penalty and Easy bonus; w17..w19 reviews on the same day; w20 the forgetting curve.
inline constexpr std::array<double, 21> kDefaultWeights = {
    0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542,
};

// The retentions the player may choose: outside them the schedule is either too sparse to learn
// from or too dense to keep up with.
inline constexpr double kMinRetention = setting::kRetention.min;
inline constexpr double kMaxRetention = setting::kRetention.max;

struct Parameters
{
    std::array<double, 21> w = kDefaultWeights;
    // Taken clamped to kMinRetention..kMaxRetention.
    double desiredRetention = setting::kRetention.fallback;
    int maximumIntervalDays = 36500;
};

struct Memory
{
    double stability = 0; // days; 0 = never reviewed
    double difficulty = 0;
};

// The chance of recall `elapsedDays` after a review that left `stability`; 0 when never reviewed.
double Retrievability(double elapsedDays, double stability, const Parameters&);
// The memory after the first review of a card.
Memory InitialMemory(Grade, const Parameters&);
// The memory after a review `elapsedDays` (whole days; 0, or less, is the same day) after the last
// one; the first review when `memory` was never reviewed.
Memory NextMemory(const Memory&, double elapsedDays, Grade, const Parameters&);
// Whole days until recall falls to the desired retention: at least 1, at most the maximum.
int NextIntervalDays(double stability, const Parameters&);

// A card's schedule kept by the game: whole local days.
struct Card
{
    Memory memory;
    QDate lastReview;
    QDate due;
    int reps = 0;
    int lapses = 0;
};

// The card after a review on `today`: the first review when reps == 0, and Again a lapse after
// that. A date before the last review (the clock was set back) counts as the same day.
Card Review(const Card&, QDate today, Grade, const Parameters&);

} // namespace fsrs
