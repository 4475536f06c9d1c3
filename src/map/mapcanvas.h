// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The map itself: every line of the library at its stations' positions, the lines around
// pale and thin, the chosen one thick and on top with its stations coloured by what the player
// remembers. Wheel and +/- zoom, a drag or the arrow keys pan, Home shows the chosen line whole;
// a click near a line or N/P select one, Enter asks to load it.

#include "mapnetwork.h"

#include <QElapsedTimer>
#include <QHash>
#include <QWidget>

#include <functional>

class QPainter;
class MapLabelSpace;

// Paints a station's dot in the colour of its card state (the caller's own numbering).
using MapDotPainter = std::function<void(QPainter&, QPointF centre, qreal radius, int state)>;

class MapCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit MapCanvas(QList<MapLine> lines, QWidget* parent = nullptr);

    const QList<MapLine>& lines() const { return lines_; }
    // The line the player has loaded (-1: none), and the card state of each station of its
    // file (indexed as MapStation::entry; missing ones are drawn by state 0).
    void setCurrent(int line, const QList<int>& states, MapDotPainter paintDot);
    int current() const { return current_; }

    const MapView& view() const { return view_; }
    void setView(const MapView& view);
    // The chosen line whole, or all Japan when there is none.
    void showCurrent();

    int selected() const { return selected_; }
    void setSelected(int line);
    // The line drawn nearest to a point of the widget, within a finger's width; -1 when none.
    int lineAt(QPointF pixel) const;
    // The lines whose tracks pass through the view, nearest to its centre first.
    QList<int> linesNearCentre() const;
    // Where a station of a line is drawn (for tests and the legend's hints).
    QPointF stationPixel(int line, int station) const;

    // How long the last paint took, in milliseconds; and the number of station names drawn.
    double lastPaintMs() const { return lastPaintMs_; }
    int labelsDrawn() const { return int(namesDrawn_.size()); }
    // Where every name was written at the last paint, in the widget.
    const QList<QRectF>& namesDrawn() const { return namesDrawn_; }
    // Where each station of the chosen line was named at the last paint, in the widget; an
    // empty rectangle for one out of sight or named already by a station of the same name.
    const QList<QRectF>& currentNames() const { return currentNames_; }

    QSize sizeHint() const override { return {880, 620}; }

signals:
    void selectedChanged(int line);
    void viewChanged();
    // Enter on a selected line.
    void activated(int line);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    // The top left corner of the widget in the map's world at the current view.
    QPointF origin() const;
    void project();
    void cycle(int step);

    // mappaint.cpp
    void paintTracks(QPainter& p, const QRectF& seen);
    void paintLine(QPainter& p, int line, qreal width, bool withDots, const QRectF& seen);
    void paintOtherStations(QPainter& p, const QRectF& seen);
    void paintLabels(QPainter& p, const QRectF& seen);
    void paintCurrentNames(QPainter& p, MapLabelSpace& space, const QRectF& seen,
                           QHash<QString, QPointF>& named, qreal near);
    // The margin a fitted view leaves around the chosen line.
    QSizeF fitMargin() const;
    // The chosen line's dots shrink at the country's scale, where its stations lie on top of
    // each other.
    qreal dotRadius() const;

    QList<MapLine> lines_;
    MapProjection projected_;
    MapView view_;
    bool viewSet_ = false;
    int current_ = -1;
    QList<int> states_;
    MapDotPainter paintDot_;
    int selected_ = -1;
    QPoint pressAt_;
    MapView pressView_;
    bool dragging_ = false;
    bool pressed_ = false;
    double lastPaintMs_ = 0;
    QList<QRectF> namesDrawn_;
    QList<QRectF> currentNames_;
};
