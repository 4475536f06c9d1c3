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
// (At three times, the real long gaps of country lines flood the list; a station missing from
// the list only doubles a gap, so 3.5 loses nothing.)
inline constexpr double kGapMedianFactor = 3.5;
inline constexpr double kGapMinKm = 2;
// A loop line's last station must lie within kLoopEndsMedianFactor times the median gap of its
// first.
inline constexpr double kLoopEndsMedianFactor = 3;
// The path turns back at station i when station i+1 lies nearer to station i-1 than station i
// does by a clear margin (closer than kBackRatio times that distance), or when the line turns
// by more than kBackTurnDegrees there.
inline constexpr double kBackRatio = 0.85;
inline constexpr double kBackTurnDegrees = 150;
// Otherwise station i is a detour when going through it is more than kDetourRatio times the
// direct way from i-1 to i+1, and longer by more than kDetourMinKm: a station that belongs
// elsewhere, or a wrong position.
inline constexpr double kDetourRatio = 1.8;
inline constexpr double kDetourMinKm = 2;

struct StationMeta;
// How far the way turns at b coming from a and going on to c, 0 (straight on) to 180 degrees.
double TurnDegrees(const StationMeta& a, const StationMeta& b, const StationMeta& c);

// The great-circle distance between two positions, in km.
double DistanceKm(double lat1, double lng1, double lat2, double lng2);

// Numbers of one prefix (JY in JY24) must rise or fall along the line; a gap is fine, a
// reversal is not. On a loop line the numbers may start again once, where the loop closes.
// A reversal known to be real (a route over several lines, a branch's numbers) is listed in
// known as kind "number" at the station where it is reported.
void CheckStationNumbers(LineCheck& check, const QString& path, const LineKnownCases* known);

// Positions inside Japan, all stations or none with positions, and, along the stations that
// have one, gaps, turns back and a loop's ends; known lists the real cases of gaps and turns.
void CheckPositions(LineCheck& check, const QString& path, const LineKnownCases* known);

struct TrackAtlas;
// Within this many metres of the place where a station stands on the track, a way between two
// other stations passes through it.
inline constexpr double kTrackPassMetres = 10;
// Against the library's track: the line is in it with the same stations (else the file changed
// since the track was made), every consecutive pair is joined along the track (or drawn
// straight where a correction says the database's track is wrong), each way starts and ends at
// its stations and passes through no other station of the line. An imported line missing from
// the track is an error; a line written by hand is checked only when the track holds it.
void CheckAlongTrack(LineCheck& check, const TrackAtlas& atlas);
