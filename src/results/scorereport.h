// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of the score detail window: the line, the mode, one row per station with its
// verdict and the seconds taken, then the rate, the average and the score. Columns are counted
// in bytes (two per UTF-16 code unit) so that full-width names line up in a fixed-pitch font.

#include "stationtable.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <span>

struct ReportInput
{
    QString lineFilePath;
    QString lineName;
    std::int32_t gameMode = 0;
    float correctRate = 0.0f;
    std::int32_t score = 0;
    std::span<const StationRecord> stations;
    // Which stations were asked, one flag each; empty when every question was (a completed
    // game over the whole line). A station never asked carries no verdict.
    QList<bool> asked;
    // Tenths a question gave: a right answer took this less the tenths it left.
    std::int32_t questionTenths = 100;
};

// The report, lines joined by "\r\n" with no break after the last one. Pure: reads only input.
QString BuildScoreReport(const ReportInput& input);
// The report for the loaded line and the last game, from the globals.
QString BuildScoreReport();

// The widest station name in display columns (0 when there are none). The names are padded to
// it, so the columns line up in the fixed-pitch face even where names hold half-width
// characters; for full-width names it is their length in bytes.
std::int32_t GetMaxLenB(std::span<const StationRecord> stations);
// The same over the loaded stations.
std::int32_t GetMaxLenB();

// The loaded stations (StationTable[0 .. gStationCount - 1], the count kept inside the table).
std::span<const StationRecord> LoadedStations();

// value with exactly decimals digits after the point and at least one before it, rounded half
// away from zero on the exact decimal value of the double (0.125 -> "0.13", while 0.35, stored
// as 0.34999..., gives "0.3"). Non-finite values print as 0; a result that rounds to zero
// carries no minus sign.
QString FormatFixed(double value, int decimals);
