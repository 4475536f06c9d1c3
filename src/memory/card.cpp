// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "card.h"
#include "fsrs.h"
#include "gamestate.h"

#include <algorithm>

bool MakesCards(std::int32_t gameMode)
{
    return gameMode == kModeYomiate || gameMode == kModeEkiate;
}

CardMode CardModeFor(std::int32_t gameMode)
{
    return gameMode == kModeEkiate ? kCardLink : kCardReading;
}

CardState StateOf(const StoredCard& card, QDate today)
{
    if (card.reps == 0)
        return CardState::New;
    if (!card.lastRight)
        return CardState::Forgotten;
    if (card.due <= today)
        return CardState::Due;
    return card.stability >= kKnownStability ? CardState::Known : CardState::Learning;
}

double RecallOf(const StoredCard& card, QDate today)
{
    if (card.reps == 0)
        return -1.0;
    const double elapsed = double(std::max<qint64>(0, card.lastReview.daysTo(today)));
    const double recall = fsrs::Retrievability(elapsed, card.stability, fsrs::Parameters {});
    return card.lastRight ? recall : std::min(kRecallAfterMiss, recall);
}

bool IsKnown(const StoredCard& card, QDate today)
{
    return StateOf(card, today) == CardState::Known;
}

bool MakesStationKnown(const StoredCard& card, QDate today)
{
    return card.mode == kCardReading && IsKnown(card, today);
}

int CardGrade(const StoredCard& before, int answerGrade)
{
    const bool firstOfItsKind = before.reps == 0 || !before.lastRight;
    return firstOfItsKind ? std::min(answerGrade, int(fsrs::Grade::Good)) : answerGrade;
}

void ReviewCard(StoredCard& card, QDate day, int answerGrade, double retention)
{
    fsrs::Parameters parameters;
    parameters.desiredRetention = retention;
    fsrs::Card schedule;
    schedule.memory = {card.stability, card.difficulty};
    schedule.lastReview = card.lastReview;
    schedule.due = card.due;
    schedule.reps = card.reps;
    schedule.lapses = card.lapses;
    const int grade = CardGrade(card, answerGrade);
    if (card.reps == 0)
        card.firstReview = day;
    const fsrs::Card next = fsrs::Review(schedule, day, fsrs::Grade(grade), parameters);
    card.stability = next.memory.stability;
    card.difficulty = next.memory.difficulty;
    card.due = next.due;
    card.lastReview = next.lastReview;
    card.reps = next.reps;
    card.lapses = next.lapses;
    card.lastRight = grade != int(fsrs::Grade::Again);
    if (!card.lastRight)
        card.due = std::min(card.due, next.lastReview.addDays(1));
}
