// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What happened to each question of the last game, beside the station table: what the player
// typed, how it ended, the time it took and the hints it cost. The review and the history read
// it; the game itself never does.

#include "stationtable.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

enum class Outcome : std::uint8_t {
    NotAsked, // never reached (a stopped game), or not a question at all
    Right,
    Wrong,
    TimedOut,
};

struct QuestionResult
{
    Outcome outcome = Outcome::NotAsked;
    QString typed; // at Enter, or what the box showed when the time ran out
    std::int32_t tenthsTaken = 0;
    std::int32_t hints = 0;
};

// By the entry whose reading the question asked (in 駅当て the next station's entry).
extern std::array<QuestionResult, kStationTableSize> gQuestionLog;

// While a game runs over some stations of a line (a retry, a practice, today's review). Only
// SubsetScope writes it; UnloadLine empties it.
struct SubsetInForce
{
    // The index in the full line of each entry of the table; empty for a game over the whole
    // line. In 駅当て only neighbours in the full line make a question.
    std::vector<std::int32_t> origin;
    // The number of stations of the full line while origin is in force.
    std::int32_t wholeCount = 0;
    // By table entry: true where the entry's reading is asked. Empty: every question the mode
    // asks (today's review asks its due cards only, not the links between them).
    std::vector<bool> asks;
    // A station missed is asked again at the end, shuffled, until answered right once (at most
    // kRelearnRounds more times): today's review and the lessons.
    bool relearn = false;
    // A lesson's first pass: the reading is on the plate, nothing is scored, and the clock gives
    // the longest time a question may have.
    bool seeing = false;
    // A lesson: a station missed before its first right answer gets no card for that miss.
    bool lesson = false;
};
extern SubsetInForce gSubset;

// Most times a missed station is asked again in one game.
inline constexpr int kRelearnRounds = 3;

// An answer to a question asked again after a miss; the first answer stays in gQuestionLog.
struct RelearnAnswer
{
    std::int32_t entry = 0;
    QuestionResult result;
};
// The answers asked again, in the order given (cleared with the question log).
extern std::vector<RelearnAnswer> gRelearnLog;

// The outcome as the windows name it: 正解, 不正解, 時間切れ; "" when never asked.
QString OutcomeName(Outcome outcome);

void ClearQuestionLog();
// Adds a hint to the question being asked.
void NoteHint(std::int32_t askedIndex);
// True when table entries a and b = NextEntry(a) are neighbours on the line (always, unless the
// table holds some stations of it).
bool NeighboursOnLine(std::int32_t a, std::int32_t b);
// True when the question on the plate of `plate` is asked (always, unless a retry put two
// stations side by side that are not neighbours on the line).
bool QuestionOnPlate(std::int32_t plate, std::int32_t mode);
// The entry whose reading the question on the plate of `plate` asks for: the plate's own, in
// 駅当て the next station's.
std::int32_t AskedEntry(std::int32_t plate, std::int32_t mode);
// True when the reading of entry i is asked by some question of a game in the mode.
bool EntryAsked(std::int32_t i, std::int32_t mode);
