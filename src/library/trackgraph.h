// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line's track as a graph, and the question a learner's 駅当て rests on: is each next
// station one a train reaches? The track comes as pieces of polyline (the open station
// database draws each line as LineStrings between stations and junctions); pieces meet where
// their ends share a point. Every station is placed on the track where it lies nearest, and a
// pair of consecutive stations is joined when some way along the track leads from one to the
// other without passing a third station of the same line. A branch listed inside its line, a
// station listed out of order or a station far from the track all fail.

#include <QList>
#include <QString>

// A point of track, in 1e-5 degrees (about a metre), as the database writes them.
struct TrackPoint
{
    int lat = 0;
    int lng = 0;
    bool operator==(const TrackPoint&) const = default;
};

// A station is placed on the track when it lies within kTrackTolerance metres of it. A
// station's own building may stand some way from the platforms; a station further off than
// this is not on the line's track at all.
inline constexpr double kTrackTolerance = 500;
// Tracks that run side by side (two lines of a double track drawn apart, a station's loops)
// all hold the station: every piece of track within this many metres more than the nearest.
inline constexpr double kTrackParallel = 25;
// Ends of two pieces closer than this many metres are joined (a gap in the drawing).
inline constexpr double kTrackJoin = 30;

struct TrackStation
{
    QString name;
    double latitude = 0;
    double longitude = 0;
};

// What became of one consecutive pair (a loop's last and first too).
struct TrackPair
{
    enum Result { Joined, OffTrack, NotJoined };
    Result result = NotJoined;
    int from = 0; // station indexes
    int to = 0;
    QList<TrackPoint> path; // Joined: the way along the track, from one station to the other
};

struct TrackCheck
{
    QList<TrackPair> pairs;
    QList<int> offTrack; // stations further than kTrackTolerance from the track
};

// The stations' pairs joined along the pieces of track. loop adds the pair last → first.
TrackCheck CheckTrack(const QList<QList<TrackPoint>>& pieces, const QList<TrackStation>& stations,
                      bool loop);

// How a failed pair reads in a report: 「銚子 → 我孫子: 線路でつながっていません」.
QString DescribeTrackPair(const TrackPair& pair, const QList<TrackStation>& stations);

// Each point's weight for drawing at a coarser scale: the largest tolerance in metres at which
// Douglas–Peucker simplification keeps it (the ends are kept at every tolerance). Drawing only
// the points whose weight is at least t gives the path simplified at t.
QList<double> SimplificationWeights(const QList<TrackPoint>& path);

// The distance in metres from a position to a polyline of track points (a lone point too);
// *along gets the distance from the polyline's start to the nearest point, in metres.
double DistanceToPath(double latitude, double longitude, const QList<TrackPoint>& path,
                      double* along = nullptr);
