// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapprojection.h"

#include <QLineF>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <limits>

void GeoBox::add(double latitude, double longitude)
{
    if (empty) {
        south = north = latitude;
        west = east = longitude;
        empty = false;
        return;
    }
    south = std::min(south, latitude);
    north = std::max(north, latitude);
    west = std::min(west, longitude);
    east = std::max(east, longitude);
}

GeoBox JapanBox()
{
    GeoBox box;
    box.add(24.0, 122.9); // Yonaguni
    box.add(45.6, 145.9); // Nemuro and Wakkanai
    return box;
}

double LongitudeFactor(const MapView& view)
{
    // In steps of a quarter degree: a drag then moves the projected lines without projecting
    // them again, and the shape changes by no more than a pixel in a thousand at each step.
    return std::cos(qDegreesToRadians(std::round(view.latitude * 4) / 4));
}

QPointF WorldPoint(double latitude, double longitude, double scale, double factor)
{
    return {longitude * factor * scale, -latitude * scale};
}

QPointF WorldCentre(const MapView& view)
{
    return WorldPoint(view.latitude, view.longitude, view.scale, LongitudeFactor(view));
}

QPointF Project(const MapView& view, QSizeF window, double latitude, double longitude)
{
    const QPointF world = WorldPoint(latitude, longitude, view.scale, LongitudeFactor(view));
    return world - WorldCentre(view) + QPointF(window.width() / 2, window.height() / 2);
}

void Unproject(const MapView& view, QSizeF window, QPointF pixel, double* latitude,
               double* longitude)
{
    const QPointF d = pixel - QPointF(window.width() / 2, window.height() / 2);
    *latitude = view.latitude - d.y() / view.scale;
    *longitude = view.longitude + d.x() / (view.scale * LongitudeFactor(view));
}

MapView FitView(const GeoBox& box, QSizeF window, double margin)
{
    return FitView(box, window, QSizeF(margin, margin));
}

MapView FitView(const GeoBox& box, QSizeF window, QSizeF margin)
{
    MapView view;
    if (box.empty)
        return FitView(JapanBox(), window, margin);
    view.latitude = box.centreLatitude();
    view.longitude = box.centreLongitude();
    const double factor = LongitudeFactor(view);
    // A box smaller than about two kilometres is shown as if it were that large.
    const double height = std::max(box.north - box.south, 0.02);
    const double width = std::max((box.east - box.west) * factor, 0.02);
    const double w = std::max(1.0, window.width() - 2 * margin.width());
    const double h = std::max(1.0, window.height() - 2 * margin.height());
    view.scale = std::clamp(std::min(w / width, h / height), kMinMapScale, kMaxMapScale);
    return view;
}

MapView ZoomAround(const MapView& view, QSizeF window, QPointF pixel, double factor)
{
    double latitude = 0, longitude = 0;
    Unproject(view, window, pixel, &latitude, &longitude);
    MapView zoomed = view;
    zoomed.scale = std::clamp(view.scale * factor, kMinMapScale, kMaxMapScale);
    // The centre that puts the place back under the cursor: its latitude first, since the
    // longitude's factor depends on it.
    const QPointF d = pixel - QPointF(window.width() / 2, window.height() / 2);
    zoomed.latitude = latitude + d.y() / zoomed.scale;
    zoomed.longitude = longitude - d.x() / (zoomed.scale * LongitudeFactor(zoomed));
    return zoomed;
}

MapView Pan(const MapView& view, double dx, double dy)
{
    MapView moved = view;
    moved.latitude = std::clamp(view.latitude + dy / view.scale, -85.0, 85.0);
    moved.longitude = view.longitude - dx / (view.scale * LongitudeFactor(view));
    return moved;
}

double DistanceToPolyline(const QPolygonF& polyline, QPointF point)
{
    if (polyline.isEmpty())
        return std::numeric_limits<double>::infinity();
    double best = QLineF(polyline.first(), point).length();
    for (qsizetype i = 1; i < polyline.size(); ++i) {
        const QPointF a = polyline[i - 1], b = polyline[i];
        const QPointF ab = b - a;
        const double length2 = QPointF::dotProduct(ab, ab);
        const double t = length2 > 0
            ? std::clamp(QPointF::dotProduct(point - a, ab) / length2, 0.0, 1.0)
            : 0.0;
        best = std::min(best, QLineF(a + t * ab, point).length());
    }
    return best;
}

int NearestPolyline(const QList<QPolygonF>& polylines, const QList<QRectF>& boxes, QPointF point,
                    double within)
{
    int best = -1;
    double bestDistance = within;
    for (qsizetype i = 0; i < polylines.size(); ++i) {
        if (i < boxes.size()
            && !boxes[i].adjusted(-within, -within, within, within).contains(point))
            continue;
        const double d = DistanceToPolyline(polylines[i], point);
        if (d <= bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return best;
}

QPolygonF Thinned(const QPolygonF& polyline, double step)
{
    if (polyline.size() <= 2)
        return polyline;
    QPolygonF kept;
    kept.reserve(polyline.size());
    kept.append(polyline.first());
    const double step2 = step * step;
    for (qsizetype i = 1; i + 1 < polyline.size(); ++i) {
        const QPointF d = polyline[i] - kept.last();
        if (QPointF::dotProduct(d, d) >= step2)
            kept.append(polyline[i]);
    }
    kept.append(polyline.last());
    return kept;
}

namespace {

// Liang–Barsky: the part of the segment ab inside rect, as the parameters t0 ≤ t1 of a + t (b−a);
// false when none of it is.
bool clipSegment(QPointF a, QPointF b, const QRectF& rect, double* t0, double* t1)
{
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4]
        = {a.x() - rect.left(), rect.right() - a.x(), a.y() - rect.top(), rect.bottom() - a.y()};
    *t0 = 0;
    *t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            *t0 = std::max(*t0, t);
        else
            *t1 = std::min(*t1, t);
        if (*t0 > *t1)
            return false;
    }
    return true;
}

} // namespace

QList<QPolygonF> ClippedTo(const QPolygonF& polyline, const QRectF& rect)
{
    QList<QPolygonF> pieces;
    if (polyline.size() == 1) {
        if (rect.contains(polyline.first()))
            pieces.append(polyline);
        return pieces;
    }
    bool open = false; // the last piece ends where the next segment begins
    for (qsizetype i = 1; i < polyline.size(); ++i) {
        const QPointF a = polyline[i - 1], b = polyline[i];
        double t0 = 0, t1 = 1;
        if (!clipSegment(a, b, rect, &t0, &t1)) {
            open = false;
            continue;
        }
        const QPointF from = a + t0 * (b - a), to = a + t1 * (b - a);
        if (!open || t0 > 0)
            pieces.append(QPolygonF {from});
        pieces.last().append(to);
        open = t1 >= 1;
    }
    return pieces;
}
