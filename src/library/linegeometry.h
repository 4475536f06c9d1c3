// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checks of what the stations' third fields say: station numbers in order along the line,
// positions inside Japan, and the path the positions draw. A station out of place in the list
// shows on the map as a long jump or as a line that turns back on itself; both are measured
// against the line's own spacing, so a country line with long gaps and a subway with short ones
// are held to the same rule.

#include <QString>

struct LineCheck;
class LineKnownCases;

// Where Japan's stations lie, in degrees.
inline constexpr double kJapanSouth = 20, kJapanNorth = 46, kJapanWest = 122, kJapanEast = 154;

// A gap between consecutive stations is an error when it is longer than kGapMedianFactor times
// the line's median gap and longer than kGapMinKm.
inline constexpr double kGapMedianFactor = 3;
inline constexpr double kGapMinKm = 2;
// A loop line's last station must lie within kLoopEndsMedianFactor times the median gap of its
// first.
inline constexpr double kLoopEndsMedianFactor = 3;
// The path turns back at station i when station i+1 lies nearer to station i-1 than station i
// does by a clear margin: closer than kBackRatio times that distance, and by more than
// kBackMinKm.
inline constexpr double kBackRatio = 0.7;
inline constexpr double kBackMinKm = 0.5;

// The great-circle distance between two positions, in km.
double DistanceKm(double lat1, double lng1, double lat2, double lng2);

// Numbers of one prefix (JY in JY24) must rise or fall along the line; a gap is fine, a
// reversal is not. On a loop line the numbers may start again once, where the loop closes.
void CheckStationNumbers(LineCheck& check);

// Positions inside Japan, all stations or none with positions, and, along the stations that
// have one, gaps, turns back and a loop's ends; known lists the real cases of gaps and turns.
void CheckPositions(LineCheck& check, const QString& path, const LineKnownCases* known);
