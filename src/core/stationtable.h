// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The stations of the loaded line, in running order, with each station's result in the last
// game, and the line file reader that fills them.

#include "linefile.h"
#include "linemeta.h"

#include <QString>
#include <array>
#include <cstdint>

struct StationRecord
{
    QString StationName;
    QString Reading; // what the player types, exactly
    QString Extra; // a third field, kept as read
    std::int16_t IsOK = 0; // -1 when answered right in the last game
    std::int32_t RemainTenths = 0; // tenths left when answered right, 1 to the question's tenths
};

inline constexpr int kStationTableSize = kMaxLineStations;

extern std::array<StationRecord, kStationTableSize> StationTable;
extern std::int32_t gStationCount;
extern QString gLineName;
extern QString gLineFilePath;
// What the program knows of the loaded line beyond its name and stations. LoadLineFile fills it
// and UnloadLine empties it; nothing else writes it.
struct LoadedLine
{
    // The line runs round: its last station's next station is its first.
    bool loop = false;
    // What the line's file says about it: operator, colour, symbol, section (empty when it says
    // nothing). The stations' numbers are in their Extra fields.
    LineMeta meta;
    // The table holds the line from its terminus back (the learning settings' direction).
    bool reversed = false;
};
extern LoadedLine gLine;

// Reads a line file into the table, in the direction of travel gLearning asks for. On failure
// (including a file that lists no station) it tells the player why in a message box, leaves the
// table and the line name empty (gStationCount 0) and returns false.
bool LoadLineFile(const QString& path);
// Empties the three text fields of every entry and sets gStationCount to 0.
void ClearStationName();
// Resets IsOK and RemainTenths of every entry.
void ClearScore();
// Stations answered right in the last game (entry 0 is never asked in 駅当て, unless the line
// runs round).
std::int32_t GetOKcount();

// The entry after i in the direction of travel: i + 1, and on a loop line the first after the
// last. The entry before i: i - 1 (-1 before the first), and on a loop line the last before the
// first.
std::int32_t NextEntry(std::int32_t i);
std::int32_t PreviousEntry(std::int32_t i);

// No line loaded: the table, the line's name, file and everything known of it, and whatever a
// retry or the last game left in the question log. Every way a line goes away comes here.
void UnloadLine();
// Puts the table and the line globals back to their start values (for tests).
void ResetStationTable();
