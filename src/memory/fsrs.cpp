// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fsrs.h"

#include <algorithm>
#include <cmath>

namespace fsrs {

namespace {

// Stability is kept within these days so that powers and quotients stay finite.
constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500;
constexpr double kMinDifficulty = 1;
constexpr double kMaxDifficulty = 10;

using Weights = std::array<double, 21>;

// A grade as the number the formulas use; a value outside the enum is taken as the nearest grade
// rather than read past the weights.
double GradeValue(Grade g)
{
    return std::clamp(static_cast<int>(g), 1, 4);
}

double ClampStability(double s)
{
    return std::clamp(s, kMinStability, kMaxStability);
}
double ClampDifficulty(double d)
{
    return std::clamp(d, kMinDifficulty, kMaxDifficulty);
}

// The forgetting curve is R(t, S) = (1 + factor·t/S)^(−decay), with the factor chosen so that
// R(S, S) = 0.9 whatever the decay: S keeps its meaning as the 90% point.
double Decay(const Weights& w)
{
    return w[20];
}
double CurveFactor(const Weights& w)
{
    return std::pow(0.9, -1.0 / Decay(w)) - 1.0;
}

// Unclamped, as the target of the mean reversion needs it (Easy's is below 1 with the defaults).
double RawInitialDifficulty(double grade, const Weights& w)
{
    return w[4] - std::exp(w[5] * (grade - 1)) + 1;
}

// Again and Hard raise D, Easy lowers it. The step shrinks as D nears 10, so repeated lapses
// approach the top instead of sticking to it, and every review pulls D a little toward an Easy
// card's so that an old mistake fades.
double NextDifficulty(double d, double grade, const Weights& w)
{
    const double step = -w[6] * (grade - 3);
    const double damped = d + step * (10 - d) / 9;
    const double target = RawInitialDifficulty(4, w);
    return ClampDifficulty(w[7] * target + (1 - w[7]) * damped);
}

// A successful recall multiplies S: more for an easy card, a low S and a memory nearly lost.
double RecallStability(double d, double s, double r, double grade, const Weights& w)
{
    const double hardPenalty = grade == 2 ? w[15] : 1.0;
    const double easyBonus = grade == 4 ? w[16] : 1.0;
    const double growth = std::exp(w[8]) * (11 - d) * std::pow(s, -w[9])
        * (std::exp(w[10] * (1 - r)) - 1) * hardPenalty * easyBonus;
    return s * (1 + growth);
}

// After a lapse S starts over from a value that grows with the old S and with how much had been
// forgotten. It is held below S / e^(w17·w18) so that a lapse and a Good later the same day (which
// multiplies by about e^(w17·w18)) never leave the card stronger than before it was forgotten.
double ForgetStability(double d, double s, double r, const Weights& w)
{
    const double relearned
        = w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) * std::exp(w[14] * (1 - r));
    return std::min(relearned, s / std::exp(w[17] * w[18]));
}

// A second review on the same day says little about long-term memory: S moves by a factor set by
// the grade, smaller for a card that is already stable. A passing grade never lowers S.
double SameDayStability(double s, double grade, const Weights& w)
{
    double factor = std::exp(w[17] * (grade - 3 + w[18])) * std::pow(s, -w[19]);
    if (grade >= 2)
        factor = std::max(factor, 1.0);
    return s * factor;
}

} // namespace

double Retrievability(double elapsedDays, double stability, const Parameters& p)
{
    if (!(stability > 0))
        return 0;
    const double t = std::max(elapsedDays, 0.0);
    return std::pow(1 + CurveFactor(p.w) * t / stability, -Decay(p.w));
}

Memory InitialMemory(Grade g, const Parameters& p)
{
    const double grade = GradeValue(g);
    return {ClampStability(p.w[static_cast<int>(grade) - 1]),
            ClampDifficulty(RawInitialDifficulty(grade, p.w))};
}

Memory NextMemory(const Memory& memory, double elapsedDays, Grade g, const Parameters& p)
{
    if (!(memory.stability > 0))
        return InitialMemory(g, p);
    const double grade = GradeValue(g);
    const double s = ClampStability(memory.stability);
    const double d = ClampDifficulty(memory.difficulty);
    const double t = elapsedDays;
    double next;
    if (!(t >= 1)) // the same day, or a date before the last review
        next = SameDayStability(s, grade, p.w);
    else if (grade == 1)
        next = ForgetStability(d, s, Retrievability(t, s, p), p.w);
    else
        next = RecallStability(d, s, Retrievability(t, s, p), grade, p.w);
    return {ClampStability(next), NextDifficulty(d, grade, p.w)};
}

int NextIntervalDays(double stability, const Parameters& p)
{
    const int maximum = std::max(p.maximumIntervalDays, 1);
    const double r = std::clamp(p.desiredRetention, kMinRetention, kMaxRetention);
    // The forgetting curve solved for the day R falls to r.
    const double days
        = std::max(stability, 0.0) / CurveFactor(p.w) * (std::pow(r, -1.0 / Decay(p.w)) - 1);
    if (!(days < maximum))
        return maximum;
    return std::max(static_cast<int>(std::lround(days)), 1);
}

Card Review(const Card& card, QDate today, Grade g, const Parameters& p)
{
    Card next = card;
    if (card.reps <= 0) {
        next.memory = InitialMemory(g, p);
    } else {
        // daysTo gives 0 when either date is invalid, a same-day review.
        const auto elapsed = static_cast<double>(card.lastReview.daysTo(today));
        next.memory = NextMemory(card.memory, elapsed, g, p);
        if (GradeValue(g) == 1)
            ++next.lapses;
    }
    next.lastReview = today;
    next.due = today.addDays(NextIntervalDays(next.memory.stability, p));
    next.reps = std::max(card.reps, 0) + 1;
    return next;
}

} // namespace fsrs
