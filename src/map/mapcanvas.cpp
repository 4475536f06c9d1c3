// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapcanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// A click this near a track selects it; a press that moves further is a drag.
constexpr double kReach = 8;
constexpr int kDragStart = 4;
// One step of +/- or of a wheel notch.
constexpr double kZoomStep = 1.5;

} // namespace

MapCanvas::MapCanvas(QList<MapLine> lines, QWidget* parent)
    : QWidget(parent), lines_(std::move(lines))
{
    setObjectName(QStringLiteral("mapCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 180);
}

void MapCanvas::setCurrent(int line, const QList<int>& states, MapDotPainter paintDot)
{
    current_ = line >= 0 && line < lines_.size() ? line : -1;
    states_ = states;
    paintDot_ = std::move(paintDot);
    update();
}

void MapCanvas::setView(const MapView& view)
{
    view_ = view;
    view_.scale = std::clamp(view_.scale, kMinMapScale, kMaxMapScale);
    viewSet_ = true;
    update();
    emit viewChanged();
}

void MapCanvas::showCurrent()
{
    const GeoBox box = current_ >= 0 ? lines_[current_].box : JapanBox();
    setView(FitView(box, QSizeF(size()), fitMargin()));
}

QSizeF MapCanvas::fitMargin() const
{
    // Room at the edges for the names beside the end stations; a map opened small (a screen
    // scaled up) keeps most of itself for the line, and its names find room around their dots.
    const qreal room = 20 + 6 * fontMetrics().height();
    return {std::min(room, width() / 6.0), std::min(room, height() / 6.0)};
}

void MapCanvas::setSelected(int line)
{
    line = line >= 0 && line < lines_.size() ? line : -1;
    if (line == selected_)
        return;
    selected_ = line;
    update();
    emit selectedChanged(line);
}

QPointF MapCanvas::origin() const
{
    return WorldCentre(view_) - QPointF(width() / 2.0, height() / 2.0);
}

void MapCanvas::project()
{
    projected_.update(lines_, view_.scale, LongitudeFactor(view_));
}

int MapCanvas::lineAt(QPointF pixel) const
{
    auto* self = const_cast<MapCanvas*>(this);
    self->project();
    const QPointF world = pixel + origin();
    // The chosen line is drawn on top: within its reach it wins over the lines beneath.
    if (current_ >= 0 && DistanceToPolyline(projected_.outlines[current_], world) <= kReach)
        return current_;
    return NearestPolyline(projected_.outlines, projected_.boxes, world, kReach);
}

QList<int> MapCanvas::linesNearCentre() const
{
    auto* self = const_cast<MapCanvas*>(this);
    self->project();
    const QRectF seen(origin(), QSizeF(size()));
    const QPointF centre = seen.center();
    QList<QPair<double, int>> near;
    for (int i = 0; i < lines_.size(); ++i) {
        if (projected_.boxes[i].intersects(seen))
            near.append({DistanceToPolyline(projected_.outlines[i], centre), i});
    }
    std::sort(near.begin(), near.end());
    QList<int> order;
    for (const auto& [distance, line] : near)
        order.append(line);
    return order;
}

QPointF MapCanvas::stationPixel(int line, int station) const
{
    const MapStation& s = lines_[line].stations[station];
    return Project(view_, QSizeF(size()), s.latitude, s.longitude);
}

void MapCanvas::cycle(int step)
{
    // The loaded line is already in view and named: N and P step through the others.
    QList<int> near = linesNearCentre();
    near.removeOne(current_);
    if (near.isEmpty())
        return;
    const qsizetype at = near.indexOf(selected_);
    const qsizetype next
        = at < 0 ? (step > 0 ? 0 : near.size() - 1) : (at + step + near.size()) % near.size();
    setSelected(near[next]);
}

void MapCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The first size the window gets is the one to fit the chosen line into.
    if (!viewSet_)
        showCurrent();
}

void MapCanvas::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    setView(ZoomAround(view_, QSizeF(size()), event->position(), std::pow(kZoomStep, notches)));
    event->accept();
}

void MapCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = true;
    dragging_ = false;
    pressAt_ = event->position().toPoint();
    pressView_ = view_;
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!pressed_)
        return;
    const QPoint moved = event->position().toPoint() - pressAt_;
    if (!dragging_ && moved.manhattanLength() < kDragStart)
        return;
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
    setView(Pan(pressView_, moved.x(), moved.y()));
}

void MapCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!pressed_ || event->button() != Qt::LeftButton)
        return;
    pressed_ = false;
    unsetCursor();
    if (!dragging_)
        setSelected(lineAt(event->position()));
    dragging_ = false;
}

void MapCanvas::keyPressEvent(QKeyEvent* event)
{
    const QSizeF here(size());
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double stepX = width() / 6.0, stepY = height() / 6.0;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: // + without Shift on a Japanese or US keyboard
        setView(ZoomAround(view_, here, centre, kZoomStep));
        break;
    case Qt::Key_Minus:
        setView(ZoomAround(view_, here, centre, 1 / kZoomStep));
        break;
    case Qt::Key_Left:
        setView(Pan(view_, stepX, 0));
        break;
    case Qt::Key_Right:
        setView(Pan(view_, -stepX, 0));
        break;
    case Qt::Key_Up:
        setView(Pan(view_, 0, stepY));
        break;
    case Qt::Key_Down:
        setView(Pan(view_, 0, -stepY));
        break;
    case Qt::Key_Home:
        showCurrent();
        break;
    case Qt::Key_N:
        cycle(1);
        break;
    case Qt::Key_P:
        cycle(-1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit activated(selected_);
        break;
    default:
        // Esc and the rest go to the window.
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}
