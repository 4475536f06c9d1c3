// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// How the map paints: the lines around first, pale and thin, culled by their boxes; the
// selected line over them; the chosen line on top with its dots; then the names. The chosen
// line's come first and every one of them in sight is written, moved around its dot until it
// finds room; the other lines' names only where they fit around those.
#include "mapcanvas.h"

#include <QLoggingCategory>
#include <QPaintEvent>
#include <QPainter>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

// Each paint's time, for a look at a slow machine: QT_LOGGING_RULES="tabidori.map=true".
Q_LOGGING_CATEGORY(logMap, "tabidori.map", QtCriticalMsg)

// Where the names already written stand, bucketed by a coarse grid so that each new name is
// checked against its neighbours only.
class MapLabelSpace
{
public:
    bool isFree(const QRectF& r) const
    {
        bool free = true;
        visit(r, [&](const QRectF& other) { free = free && !other.intersects(r); });
        return free;
    }
    bool take(const QRectF& r)
    {
        if (!isFree(r))
            return false;
        add(r);
        return true;
    }
    void add(const QRectF& r)
    {
        const int x0 = cell(r.left()), x1 = cell(r.right());
        const int y0 = cell(r.top()), y1 = cell(r.bottom());
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                cells_[key(x, y)].append(r);
    }
    // How much of r the names and dots already placed cover, in square pixels (a rectangle
    // spanning several cells may be counted more than once: enough to choose the least bad).
    qreal covered(const QRectF& r) const
    {
        qreal area = 0;
        visit(r, [&](const QRectF& other) {
            const QRectF both = other.intersected(r);
            area += both.width() * both.height();
        });
        return area;
    }

private:
    template<typename F> void visit(const QRectF& r, F f) const
    {
        const int x0 = cell(r.left()), x1 = cell(r.right());
        const int y0 = cell(r.top()), y1 = cell(r.bottom());
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const auto it = cells_.constFind(key(x, y));
                if (it != cells_.cend())
                    for (const QRectF& other : *it)
                        f(other);
            }
    }
    static int cell(qreal v) { return int(std::floor(v / 96)); }
    static qint64 key(int x, int y) { return (qint64(x) << 32) ^ quint32(y); }
    QHash<qint64, QList<QRectF>> cells_;
};

namespace {

const QColor kPaper(0xf7, 0xf6, 0xf2);
const QColor kInk(40, 40, 40);
// From these scales (pixels per degree of latitude, about 111 km) on, the lines around show
// their stations, and then their names: by then a station is a few dozen pixels from the next.
constexpr double kOtherDotsScale = 1500;
constexpr double kOtherNamesScale = 4500;
// Below this scale a track is drawn through fewer points than it has stations.
constexpr double kThinScale = 3000;

// Only the stretches of a polyline that come into reach, cut at its edge: a line of the library
// runs on for hundreds of kilometres past a city's view, and a player's own line may hold
// segments across the whole country; stroking (and dashing) what lies outside would cost the
// painter far more than the cut does, and without bound.
void drawWithin(QPainter& p, const QPolygonF& points, const QRectF& reach)
{
    if (points.size() == 1) {
        if (reach.contains(points.first()))
            p.drawPoint(points.first());
        return;
    }
    if (reach.contains(points.boundingRect())) {
        p.drawPolyline(points);
        return;
    }
    // A stretch already drawn is not drawn again: a file may go back and forth over the same
    // long way a thousand times, each time across the whole window.
    QSet<std::pair<QPoint, QPoint>> drawn;
    for (const QPolygonF& piece : ClippedTo(points, reach)) {
        if (piece.size() == 2) {
            QPoint a = piece.first().toPoint(), b = piece.last().toPoint();
            if (std::pair(b.x(), b.y()) < std::pair(a.x(), a.y()))
                std::swap(a, b);
            if (drawn.contains({a, b}))
                continue;
            drawn.insert({a, b});
        }
        p.drawPolyline(piece);
    }
}

// The chosen line's dots, bucketed like the names: a name beside one dot must not stand nearer
// to another, or it reads as that one's.
class DotGrid
{
public:
    void add(QPointF dot) { cells_[key(cell(dot.x()), cell(dot.y()))].append(dot); }
    // Whether no other dot is as near to r as own is.
    bool nearestIs(const QRectF& r, QPointF own) const
    {
        const qreal mine = distance(r, own);
        const int x0 = cell(r.left() - mine), x1 = cell(r.right() + mine);
        const int y0 = cell(r.top() - mine), y1 = cell(r.bottom() + mine);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                for (const QPointF& dot : cells_.value(key(x, y)))
                    if (dot != own && distance(r, dot) <= mine)
                        return false;
        return true;
    }

private:
    static qreal distance(const QRectF& r, QPointF p)
    {
        const qreal dx = std::max({r.left() - p.x(), 0.0, p.x() - r.right()});
        const qreal dy = std::max({r.top() - p.y(), 0.0, p.y() - r.bottom()});
        return std::hypot(dx, dy);
    }
    static int cell(qreal v) { return int(std::floor(v / 96)); }
    static qint64 key(int x, int y) { return (qint64(x) << 32) ^ quint32(y); }
    QHash<qint64, QList<QPointF>> cells_;
};

void defaultDot(QPainter& p, QPointF centre, qreal radius, int)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius, radius);
}

// Where a name may stand beside its dot, best first: on the right, then on the left; with
// `around`, also above, below and at its corners, and then a step further out.
QList<QRectF> placesFor(QPointF dot, qreal gap, QSizeF size, bool around)
{
    const qreal w = size.width(), h = size.height();
    QList<QRectF> places {QRectF(dot.x() + gap, dot.y() - h / 2, w, h),
                          QRectF(dot.x() - gap - w, dot.y() - h / 2, w, h)};
    if (!around)
        return places;
    places << QRectF(dot.x() - w / 2, dot.y() - gap - h, w, h)
           << QRectF(dot.x() - w / 2, dot.y() + gap, w, h)
           << QRectF(dot.x() + gap, dot.y() - gap - h, w, h)
           << QRectF(dot.x() + gap, dot.y() + gap, w, h)
           << QRectF(dot.x() - gap - w, dot.y() - gap - h, w, h)
           << QRectF(dot.x() - gap - w, dot.y() + gap, w, h);
    const qreal far = 2.5 * gap;
    places << QRectF(dot.x() + far, dot.y() - h / 2, w, h)
           << QRectF(dot.x() - far - w, dot.y() - h / 2, w, h)
           << QRectF(dot.x() - w / 2, dot.y() - far - h, w, h)
           << QRectF(dot.x() - w / 2, dot.y() + far, w, h);
    return places;
}

void writeName(QPainter& p, const QFontMetricsF& fm, const QRectF& r, const QString& name)
{
    p.fillRect(r, QColor(255, 255, 255, 210));
    // At a point rather than in a box: no layout of its own for each of hundreds of names.
    p.drawText(QPointF(r.left() + 2, r.top() + fm.ascent()), name);
}

QSizeF nameSize(const QFontMetricsF& fm, const QString& name)
{
    return {fm.horizontalAdvance(name) + 4, fm.height()};
}

// Writes a name of a line around the chosen one beside its dot, on the right or else on the
// left, inside window (the widget: the painter's own window is the whole backing store, so
// a name there could run out of the map); where, or an empty rectangle when both places are
// taken.
QRectF placeLabel(QPainter& p, MapLabelSpace& space, const QFontMetricsF& fm, const QRectF& window,
                  QPointF dot, qreal gap, const QString& name)
{
    for (const QRectF& r : placesFor(dot, gap, nameSize(fm, name), false)) {
        if (!window.contains(r) || !space.take(r.adjusted(-1, -1, 1, 1)))
            continue;
        writeName(p, fm, r, name);
        return r;
    }
    return {};
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
        paintLine(p, selected_, 4, false, seen);
    if (current_ >= 0)
        paintLine(p, current_, 5, true, seen);
    p.resetTransform();
    paintLabels(p, seen);
    lastPaintMs_ = timer.nsecsElapsed() / 1e6;
    qCDebug(logMap, "paint %.2f ms at scale %.0f, %d names", lastPaintMs_, view_.scale,
            labelsDrawn());
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
        for (const MapRun& run : thin ? projected_.thinned[i] : projected_.runs[i]) {
            pen.setStyle(run.dashed ? Qt::DashLine : Qt::SolidLine);
            p.setPen(pen);
            drawWithin(p, run.points, reach);
        }
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

void MapCanvas::paintLine(QPainter& p, int line, qreal width, bool withDots, const QRectF& seen)
{
    const QPolygonF& track = projected_.tracks[line];
    const QColor colour = lines_[line].colour;
    const qreal radius = dotRadius();
    const QRectF reach
        = seen.adjusted(-width - radius, -width - radius, width + radius, width + radius);
    // A darker edge keeps a pale colour (yellow, light grey) visible on the paper. A section
    // without trains is drawn in dashes of the line's colour on the paper, edge and all.
    for (const MapRun& run : projected_.runs[line]) {
        const Qt::PenStyle style = run.dashed ? Qt::DashLine : Qt::SolidLine;
        p.setPen(QPen(colour.darker(160), width + 2, style, Qt::FlatCap, Qt::RoundJoin));
        drawWithin(p, run.points, reach);
        if (run.dashed)
            continue;
        p.setPen(QPen(colour, width, style, Qt::RoundCap, Qt::RoundJoin));
        drawWithin(p, run.points, reach);
    }
    if (!withDots)
        return;
    const MapDotPainter& dot = paintDot_ ? paintDot_ : MapDotPainter(defaultDot);
    const QList<MapStation>& stations = lines_[line].stations;
    for (int i = 0; i < stations.size(); ++i) {
        if (reach.contains(track[i]))
            dot(p, track[i], radius, states_.value(stations[i].entry, 0));
    }
}

qreal MapCanvas::dotRadius() const
{
    return view_.scale < 300 ? 3 : view_.scale < 3000 ? 4.5 : 6;
}

void MapCanvas::paintLabels(QPainter& p, const QRectF& seen)
{
    MapLabelSpace space;
    namesDrawn_.clear();
    currentNames_.clear();
    const QFontMetricsF fm(font());
    p.setFont(font());
    const QPointF at = seen.topLeft();
    // A station several lines share is named once: the lines' own positions of it differ by a
    // platform's length, and the same name twice side by side reads as two stations.
    QHash<QString, QPointF> named;
    const qreal near = 4 * fm.height();
    const auto namedNear = [&](const MapStation& station, QPointF dot) {
        const auto same = named.constFind(station.name);
        return same != named.cend() && QLineF(*same, dot).length() < near;
    };
    if (current_ >= 0)
        paintCurrentNames(p, space, seen, named, near);
    const auto write = [&](int line, qreal gap, const QColor& ink) {
        p.setPen(ink);
        const QPolygonF& track = projected_.tracks[line];
        const QList<MapStation>& stations = lines_[line].stations;
        for (int i = 0; i < stations.size(); ++i) {
            if (!seen.contains(track[i]) || namedNear(stations[i], track[i]))
                continue;
            const QRectF r
                = placeLabel(p, space, fm, QRectF(rect()), track[i] - at, gap, stations[i].name);
            if (!r.isEmpty()) {
                named.insert(stations[i].name, track[i]);
                namesDrawn_ << r;
            }
        }
    };
    if (selected_ >= 0 && selected_ != current_)
        write(selected_, 5, QColor(30, 30, 30));
    if (view_.scale < kOtherNamesScale)
        return;
    for (int i = 0; i < lines_.size(); ++i)
        if (i != current_ && i != selected_ && projected_.boxes[i].intersects(seen))
            write(i, 4, QColor(90, 90, 90));
}

void MapCanvas::paintCurrentNames(QPainter& p, MapLabelSpace& space, const QRectF& seen,
                                  QHash<QString, QPointF>& named, qreal near)
{
    const QFontMetricsF fm(font());
    const QPointF at = seen.topLeft();
    const QRectF window(rect());
    const QPolygonF& track = projected_.tracks[current_];
    const QList<MapStation>& stations = lines_[current_].stations;
    const qreal gap = 8;
    currentNames_ = QList<QRectF>(stations.size());
    p.setPen(Qt::black);

    // Its dots are kept free of every name.
    DotGrid dots;
    const qreal r = dotRadius() + 1;
    for (int i = 0; i < stations.size(); ++i) {
        if (!seen.contains(track[i]))
            continue;
        space.add(QRectF(track[i] - at - QPointF(r, r), QSizeF(2 * r, 2 * r)));
        dots.add(track[i] - at);
    }
    const auto fits = [&](int i, const QRectF& place) {
        return window.contains(place) && dots.nearestIs(place, track[i] - at)
            && space.isFree(place.adjusted(-1, -1, 1, 1));
    };
    const auto write = [&](int i, const QRectF& place) {
        space.add(place.adjusted(-1, -1, 1, 1));
        writeName(p, fm, place, stations[i].name);
        currentNames_[i] = place;
        namesDrawn_ << place;
    };

    // The names go in one at a time, the one with the fewest free places around its dot first,
    // so that a name with room elsewhere does not take a crowded one's only place; each takes
    // its best free place (on the right when it can). After each, only the names that could
    // have stood where it went count their places again.
    struct Waiting
    {
        int station;
        QSizeF size;
        int places;
    };
    const qreal far = 2.5 * gap + 2;
    const auto freePlaces = [&](const Waiting& w) {
        QList<QRectF> out;
        for (const QRectF& place : placesFor(track[w.station] - at, gap, w.size, true))
            if (fits(w.station, place))
                out << place;
        return out;
    };
    QList<Waiting> waiting;
    for (int i = 0; i < stations.size(); ++i) {
        if (!seen.contains(track[i]))
            continue;
        const auto same = named.constFind(stations[i].name);
        if (same != named.cend() && QLineF(*same, track[i]).length() < near)
            continue;
        named.insert(stations[i].name, track[i]);
        Waiting w {i, nameSize(fm, stations[i].name), 0};
        w.places = int(freePlaces(w).size());
        waiting << w;
    }
    QList<int> crowded;
    while (!waiting.isEmpty()) {
        const auto fewest = std::min_element(
            waiting.cbegin(), waiting.cend(),
            [](const Waiting& a, const Waiting& b) { return a.places < b.places; });
        const Waiting w = waiting.takeAt(fewest - waiting.cbegin());
        const QList<QRectF> places = freePlaces(w);
        if (places.isEmpty()) {
            crowded << w.station;
            continue;
        }
        const QRectF taken = places.first();
        write(w.station, taken);
        for (Waiting& other : waiting) {
            const QPointF dot = track[other.station] - at;
            const QSizeF reach(far + other.size.width(), far + other.size.height());
            if (QRectF(dot - QPointF(reach.width(), reach.height()), 2 * reach).intersects(taken))
                other.places = int(freePlaces(other).size());
        }
    }
    // When the whole line is in sight, every name is written: a name with no free place takes
    // the one that covers least of the others, pulled inside the window. Zoomed out further,
    // such names are left out rather than written over each other.
    const QSizeF size(this->size());
    if (view_.scale < FitView(lines_[current_].box, size, fitMargin()).scale * 0.999)
        return;
    std::sort(crowded.begin(), crowded.end());
    for (const int i : crowded) {
        QRectF best;
        qreal least = std::numeric_limits<qreal>::max();
        for (QRectF place : placesFor(track[i] - at, gap, nameSize(fm, stations[i].name), true)) {
            place.moveLeft(std::clamp(place.left(), window.left(),
                                      std::max(window.left(), window.right() - place.width())));
            place.moveTop(std::clamp(place.top(), window.top(),
                                     std::max(window.top(), window.bottom() - place.height())));
            // Nearer to another dot reads as that one's name: as bad as covering a whole name.
            const qreal cost = space.covered(place.adjusted(-1, -1, 1, 1))
                + (dots.nearestIs(place, track[i] - at) ? 0 : place.width() * place.height());
            if (cost < least) {
                least = cost;
                best = place;
            }
        }
        write(i, best);
    }
}
