// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The route diagram as a control: it wraps its rows to its own width and scrolls down a long
// line; a station is chosen with the mouse or with the arrow keys, Home and End.

#include "routelayout.h"

#include <QAbstractScrollArea>

class RouteDiagram : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit RouteDiagram(const LineProgress& line, QWidget* parent = nullptr);

    int selected() const { return selected_; }
    // Selects station i (-1: none) and scrolls it into view.
    void setSelected(int i);
    const RouteLayout& routeLayout() const { return layout_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void selectedChanged(int station);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void relayout();
    // The station a key leads to from the selection; -1 for a key that moves nothing.
    int stationForKey(int key) const;

    LineProgress line_;
    RouteLayout layout_;
    int selected_ = -1;
};

// The five states' dots and words, as the diagram draws them.
class RouteLegend : public QWidget
{
    Q_OBJECT
public:
    explicit RouteLegend(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
