// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lines of the library as the map draws them: each line's stations that have a position,
// its colour and what the status line says of it; and, for one scale at a time, every line
// projected once into the map's world (see WorldPoint), so that a paint only moves and culls.

#include "lineindex.h"
#include "mapprojection.h"
#include "trackfile.h"

#include <QColor>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QString>

struct MapStation
{
    QString name;
    double latitude = 0;
    double longitude = 0;
    int entry = 0; // its place among all the stations of the line file
};

struct MapLine
{
    QString path;
    QString name;
    QString operatorName;
    QString description;
    QColor colour; // @色, grey when the file names none
    QColor pale; // the colour as the lines around the chosen one are drawn
    bool loop = false;
    QList<MapStation> stations; // those with a position, in running order
    GeoBox box;
    // The way along the track from each station to the next (a loop's last to its first too),
    // when the library's track holds the line and every station has a position; empty
    // otherwise, and the line is drawn straight from station to station.
    QList<TrackWay> ways;
    // For each pair, whether trains run there for now (@運休 sections are drawn dashed).
    QList<bool> suspended;
};

// The grey of a line whose file names no colour.
inline const QColor kNoLineColour(0x9e, 0x9e, 0x9e);

// Every line with at least one positioned station, in the index's order. Lines without
// positions are left out: the map has nowhere to draw them.
// track, when given, puts them on the track.
QList<MapLine> MapLinesOf(const QList<IndexedLine>& lines, const TrackAtlas* track = nullptr);
// One line as the map draws it, whether or not it has positions.
MapLine MapLineOf(const IndexedLine& line, const TrackAtlas* track = nullptr);

// A stretch of a line drawn in one stroke: along the track, solid or (no trains) dashed.
struct MapRun
{
    QPolygonF points;
    bool dashed = false;
};

// The network projected at one scale and longitude factor.
class MapProjection
{
public:
    // Projects again when the scale or the factor differs from the last call's.
    void update(const QList<MapLine>& lines, double scale, double factor);
    double scale() const { return scale_; }

    QList<QPolygonF> tracks; // each line's stations in order (a loop closed): where dots go
    // Each line as drawn: along its track where it has one, at the detail the scale shows, in
    // runs of solid and dashed stretches; and the same runs without points closer than a
    // pixel or two, for the lines around the chosen one.
    QList<QList<MapRun>> runs;
    QList<QList<MapRun>> thinned;
    QList<QPolygonF> outlines; // each line as drawn, in one polyline: what a click finds
    QList<QRectF> boxes; // each outline's bounding rectangle

private:
    double scale_ = -1;
    double factor_ = -1;
    qsizetype count_ = -1;
};
