// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A card and what it says of the learner: one per station's reading (読み当て) and one per link
// to the next station in a direction of travel (駅当て), on a line. Every window that shows what
// the learner knows asks here, so that 成績, 苦手な駅, 路線一覧 and the map never disagree.

#include "stationid.h"

#include <QDate>
#include <QString>
#include <cstdint>

// The kinds of card, numbered as the game modes that make them.
enum CardMode : std::int32_t {
    kCardReading = 1, // 読み当て: the station's own reading
    kCardLink = 2, // 駅当て: the next station's reading, in a direction of travel
};

// True for a game mode whose answers move cards (早打ち only types what the plate shows).
bool MakesCards(std::int32_t gameMode);
// The cards a window shows for a game mode: 早打ち's stations as 読み当て knows them.
CardMode CardModeFor(std::int32_t gameMode);

// One card as the history keeps it: a station's reading (読み当て) or a link to the next station
// in a direction of travel (駅当て, keyed by the station asked for), on a line.
struct StoredCard
{
    QString lineKey;
    std::int32_t mode = kCardReading;
    QString station;
    QString reading;
    bool reversed = false; // links only: ridden from the terminus back
    double stability = 0.0;
    double difficulty = 0.0;
    QDate due;
    QDate lastReview;
    int reps = 0;
    int lapses = 0;
    bool lastRight = false;
    QDate firstReview; // the day the card was made: its first review

    StationId id() const { return {station, reading}; }
};

// Days a card is held for, at the least, to count as known.
inline constexpr double kKnownStability = 21.0;
// Just after a miss FSRS counts on the relearning it expects and may promise a high chance of
// recall; the learner still did not know the station. A miss caps the chance at this.
inline constexpr double kRecallAfterMiss = 0.5;

// Where a card stands for the learner.
enum class CardState {
    New, // never asked
    Learning, // asked, not yet held for long (stability under three weeks) and not due
    Known, // held for three weeks or more, not due, last answered right
    Due, // due today or earlier, last answered right
    Forgotten, // last answered wrong or timed out
};

// The state of a card on a day; New when it was never reviewed.
CardState StateOf(const StoredCard& card, QDate today);
// The chance of recalling the card on a day (0 to 1): FSRS's forgetting curve, capped at
// kRecallAfterMiss while the last answer was a miss; -1 when it was never reviewed.
double RecallOf(const StoredCard& card, QDate today);
// True when the card counts as known on a day: StateOf is Known.
bool IsKnown(const StoredCard& card, QDate today);
// The one definition of a known station, used by 路線一覧, 成績 and the map: a station is known
// on a line when its reading's card (読み当て) is known. 駅当て's links are the line's order:
// a window that shows them says so.
bool MakesStationKnown(const StoredCard& card, QDate today);

// The grade an answer gives a card: the answer's own (AnswerGrade), except that Easy is for a
// card already known: a card's first review, and its first after a lapse, are at most Good.
// A fast first answer is no proof of a memory that lasts a week.
int CardGrade(const StoredCard& before, int answerGrade);
// The card after an answer graded `answerGrade` (1 to 4) on `day`, at the desired retention:
// the memory as FSRS computes it, the grade as CardGrade gives it, and the due day of a miss no
// later than the next day, whatever the stability: a station last missed comes back first.
void ReviewCard(StoredCard& card, QDate day, int answerGrade, double retention);
