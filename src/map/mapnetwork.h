// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lines of the library as the map draws them: each line's stations that have a position,
// its colour and what the status line says of it; and, for one scale at a time, every line
// projected once into the map's world (see WorldPoint), so that a paint only moves and culls.

#include "lineindex.h"
#include "mapprojection.h"

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
};

// The grey of a line whose file names no colour.
inline const QColor kNoLineColour(0x9e, 0x9e, 0x9e);

// Every line with at least one positioned station, in the index's order. Lines without
// positions are left out: the map has nowhere to draw them.
QList<MapLine> MapLinesOf(const QList<IndexedLine>& lines);
// One line as the map draws it, whether or not it has positions.
MapLine MapLineOf(const IndexedLine& line);

// The network projected at one scale and longitude factor.
class MapProjection
{
public:
    // Projects again when the scale or the factor differs from the last call's.
    void update(const QList<MapLine>& lines, double scale, double factor);
    double scale() const { return scale_; }

    QList<QPolygonF> tracks; // each line through all its stations (a loop closed)
    QList<QPolygonF> thinned; // the same without stations closer than a pixel or two
    QList<QRectF> boxes; // each track's bounding rectangle

private:
    double scale_ = -1;
    double factor_ = -1;
    qsizetype count_ = -1;
};
