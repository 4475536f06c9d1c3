// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// How the map paints: the lines around first, pale and thin, culled by their boxes; the
// selected line over them; the chosen line on top with its dots; then the names, the chosen
// line's first, each left out where it would cover one already written.
#include "mapcanvas.h"

#include <QLoggingCategory>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

// Each paint's time, for a look at a slow machine: QT_LOGGING_RULES="tabidori.map=true".
Q_LOGGING_CATEGORY(logMap, "tabidori.map", QtCriticalMsg)

namespace {

const QColor kPaper(0xf7, 0xf6, 0xf2);
const QColor kInk(40, 40, 40);
// From these scales (pixels per degree of latitude, about 111 km) on, the lines around show
// their stations, and then their names: by then a station is a few dozen pixels from the next.
constexpr double kOtherDotsScale = 1500;
constexpr double kOtherNamesScale = 4500;
// Below this scale a track is drawn through fewer points than it has stations.
constexpr double kThinScale = 3000;

// Where the names already written stand, bucketed by a coarse grid so that each new name is
// checked against its neighbours only.
class LabelSpace
{
public:
    bool take(const QRectF& r)
    {
        const int x0 = cell(r.left()), x1 = cell(r.right());
        const int y0 = cell(r.top()), y1 = cell(r.bottom());
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                for (const QRectF& other : cells_.value(key(x, y)))
                    if (other.intersects(r))
                        return false;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                cells_[key(x, y)].append(r);
        return true;
    }

private:
    static int cell(qreal v) { return int(std::floor(v / 96)); }
    static qint64 key(int x, int y) { return (qint64(x) << 32) ^ quint32(y); }
    QHash<qint64, QList<QRectF>> cells_;
};

void defaultDot(QPainter& p, QPointF centre, qreal radius, int)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius, radius);
}

// Writes a name beside its dot, on the right or else on the left, on a pale ground; false when
// both places are taken.
bool placeLabel(QPainter& p, LabelSpace& space, const QFontMetricsF& fm, QPointF dot, qreal gap,
                const QString& name)
{
    const qreal w = fm.horizontalAdvance(name) + 4, h = fm.height();
    for (const QRectF r : {QRectF(dot.x() + gap, dot.y() - h / 2, w, h),
                           QRectF(dot.x() - gap - w, dot.y() - h / 2, w, h)}) {
        if (!QRectF(p.window()).contains(r) || !space.take(r.adjusted(-1, -1, 1, 1)))
            continue;
        p.fillRect(r, QColor(255, 255, 255, 210));
        // At a point rather than in a box: no layout of its own for each of hundreds of names.
        p.drawText(QPointF(r.left() + 2, r.top() + fm.ascent()), name);
        return true;
    }
    return false;
}

} // namespace

void MapCanvas::paintEvent(QPaintEvent*)
{
    QElapsedTimer timer;
    timer.start();
    project();
    QPainter p(this);
    p.fillRect(rect(), kPaper);
    const QPointF at = origin();
    const QRectF seen(at, QSizeF(size()));
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-at);
    paintTracks(p, seen);
    if (view_.scale >= kOtherDotsScale)
        paintOtherStations(p, seen);
    if (selected_ >= 0 && selected_ != current_)
        paintLine(p, selected_, 4, false);
    if (current_ >= 0)
        paintLine(p, current_, 5, true);
    p.resetTransform();
    paintLabels(p, seen);
    lastPaintMs_ = timer.nsecsElapsed() / 1e6;
    qCDebug(logMap, "paint %.2f ms at scale %.0f, %d names", lastPaintMs_, view_.scale,
            labelsDrawn_);
}

void MapCanvas::paintTracks(QPainter& p, const QRectF& seen)
{
    const bool thin = view_.scale < kThinScale;
    const qreal width = view_.scale < 2000 ? 1.5 : 2.5;
    const QRectF reach = seen.adjusted(-width, -width, width, width);
    QPen pen(kNoLineColour, width, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin);
    for (int i = 0; i < lines_.size(); ++i) {
        if (i == current_ || i == selected_ || !projected_.boxes[i].intersects(reach))
            continue;
        pen.setColor(lines_[i].pale);
        p.setPen(pen);
        const QPolygonF& track = thin ? projected_.thinned[i] : projected_.tracks[i];
        if (track.size() == 1)
            p.drawPoint(track.first());
        else
            p.drawPolyline(track);
    }
}

void MapCanvas::paintOtherStations(QPainter& p, const QRectF& seen)
{
    p.setBrush(Qt::white);
    QPen pen(Qt::gray, 1.2);
    for (int i = 0; i < lines_.size(); ++i) {
        if (i == current_ || !projected_.boxes[i].intersects(seen))
            continue;
        pen.setColor(i == selected_ ? lines_[i].colour.darker(140) : lines_[i].pale.darker(130));
        p.setPen(pen);
        for (const QPointF& dot : projected_.tracks[i])
            if (seen.contains(dot))
                p.drawEllipse(dot, 2.5, 2.5);
    }
}

void MapCanvas::paintLine(QPainter& p, int line, qreal width, bool withDots)
{
    const QPolygonF& track = projected_.tracks[line];
    const QColor colour = lines_[line].colour;
    // A darker edge keeps a pale colour (yellow, light grey) visible on the paper.
    p.setPen(QPen(colour.darker(160), width + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(track);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(track);
    if (!withDots)
        return;
    // Dots shrink at the country's scale, where a line's stations lie on top of each other.
    const qreal radius = view_.scale < 300 ? 3 : view_.scale < 3000 ? 4.5 : 6;
    const MapDotPainter& dot = paintDot_ ? paintDot_ : MapDotPainter(defaultDot);
    const QList<MapStation>& stations = lines_[line].stations;
    for (int i = 0; i < stations.size(); ++i)
        dot(p, track[i], radius, states_.value(stations[i].entry, 0));
}

void MapCanvas::paintLabels(QPainter& p, const QRectF& seen)
{
    LabelSpace space;
    labelsDrawn_ = 0;
    const QFontMetricsF fm(font());
    p.setFont(font());
    const QPointF at = seen.topLeft();
    // A station several lines share is named once: the lines' own positions of it differ by a
    // platform's length, and the same name twice side by side reads as two stations.
    QHash<QString, QPointF> named;
    const qreal near = 4 * fm.height();
    const auto write = [&](int line, qreal gap, const QColor& ink) {
        p.setPen(ink);
        const QPolygonF& track = projected_.tracks[line];
        const QList<MapStation>& stations = lines_[line].stations;
        for (int i = 0; i < stations.size(); ++i) {
            if (!seen.contains(track[i]))
                continue;
            const auto same = named.constFind(stations[i].name);
            if (same != named.cend() && QLineF(*same, track[i]).length() < near)
                continue;
            if (placeLabel(p, space, fm, track[i] - at, gap, stations[i].name)) {
                named.insert(stations[i].name, track[i]);
                ++labelsDrawn_;
            }
        }
    };
    // Every dot of the chosen line is kept free of other names.
    if (current_ >= 0)
        for (const QPointF& dot : projected_.tracks[current_])
            if (seen.contains(dot))
                space.take(QRectF(dot - at - QPointF(5, 5), QSizeF(10, 10)));
    if (current_ >= 0)
        write(current_, 8, Qt::black);
    if (selected_ >= 0 && selected_ != current_)
        write(selected_, 5, QColor(30, 30, 30));
    if (view_.scale < kOtherNamesScale)
        return;
    for (int i = 0; i < lines_.size(); ++i)
        if (i != current_ && i != selected_ && projected_.boxes[i].intersects(seen))
            write(i, 4, QColor(90, 90, 90));
}
