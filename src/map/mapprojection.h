// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a place on the earth falls on the map window, and back: an equirectangular projection
// whose longitude is scaled by the cosine of the view centre's latitude, true enough in shape
// for a country as narrow as Japan. Plain functions, so that they can be checked without a
// window.

#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>

// What the map window shows: a centre and a scale.
struct MapView
{
    double latitude = 36.5; // of the centre, degrees north
    double longitude = 137.0; // of the centre, degrees east
    double scale = 40; // pixels per degree of latitude

    bool operator==(const MapView&) const = default;
};

// The least and most a view may zoom: all Japan in a small window, and a few streets.
inline constexpr double kMinMapScale = 8;
inline constexpr double kMaxMapScale = 200000;

// A rectangle of latitude and longitude; empty until a point is added.
struct GeoBox
{
    double south = 0, north = 0, west = 0, east = 0;
    bool empty = true;

    void add(double latitude, double longitude);
    double centreLatitude() const { return (south + north) / 2; }
    double centreLongitude() const { return (west + east) / 2; }
};

// The whole country, from Yonaguni to Nemuro, as the view of a map with no line.
GeoBox JapanBox();

// The factor by which a degree of longitude is shorter than one of latitude at the view centre
// (its latitude taken to the nearest quarter degree).
double LongitudeFactor(const MapView& view);

// A point's place in the map's "world": pixels at the view's scale and longitude factor, with
// no offset, so that panning only moves the origin. y grows to the south.
QPointF WorldPoint(double latitude, double longitude, double scale, double factor);
// Where the view centre lies in that world.
QPointF WorldCentre(const MapView& view);

// A place on the earth and its pixel in a window of the given size, and back.
QPointF Project(const MapView& view, QSizeF window, double latitude, double longitude);
void Unproject(const MapView& view, QSizeF window, QPointF pixel, double* latitude,
               double* longitude);

// The view that shows the box whole in a window of the given size with margin pixels to spare
// at each edge; a single point (or a box smaller than a town) is shown at a town's scale.
MapView FitView(const GeoBox& box, QSizeF window, double margin);
// The same with margin.width() to spare at the left and right, margin.height() at the top and
// bottom.
MapView FitView(const GeoBox& box, QSizeF window, QSizeF margin);

// The view zoomed by factor (scale clamped to the limits) so that the place under pixel stays
// under it.
MapView ZoomAround(const MapView& view, QSizeF window, QPointF pixel, double factor);
// The view moved by the given pixels: the map follows a drag of (dx, dy).
MapView Pan(const MapView& view, double dx, double dy);

// The distance in pixels from point to the polyline (a lone point counts as a polyline).
double DistanceToPolyline(const QPolygonF& polyline, QPointF point);

// The polyline nearest to point, if one lies within `within` pixels; -1 otherwise. boxes hold
// each polyline's bounding rectangle, so that far ones are passed over unmeasured.
int NearestPolyline(const QList<QPolygonF>& polylines, const QList<QRectF>& boxes, QPointF point,
                    double within);

// The polyline without the points that lie closer than `step` pixels to the last one kept
// (the last point is always kept): what a line needs at a scale where its stations crowd.
QPolygonF Thinned(const QPolygonF& polyline, double step);

// The polyline cut to the rectangle: the parts inside it, each a polyline, every segment that
// crosses the rectangle's edge ending on the edge. A segment far longer than the window (a
// player's line from Okinawa to Hokkaido seen at street scale) becomes a few hundred pixels.
QList<QPolygonF> ClippedTo(const QPolygonF& polyline, const QRectF& rect);
