// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The route diagram as a picture: the stations as dots in running order on a track drawn in
// the line's colour, rows read left to right and wrapped at the width given, each station's
// name under its dot. Apart from the widget, so that it renders to an image without a screen.

#include "progressdata.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSize>

class QPainter;

struct RouteLayout
{
    QList<QPointF> dots; // each station's dot centre, in running order
    QList<QRectF> labels; // where each station's name is written
    QList<qreal> condense; // each name's horizontal scale: 1, less for a name squeezed to fit
    QList<int> rowStart; // the first station of each row
    QPainterPath track; // the line through every dot, its wraps and a loop's closing run
    QRectF loopLabel; // where a loop says it runs back to its first station; empty otherwise
    qreal dotRadius = 0;
    qreal ringRadius = 0; // the selection ring around a dot
    qreal trackWidth = 0;
    qreal rowHeight = 0;
    qreal top = 0; // where the first row starts
    QSize size; // the whole diagram
};

RouteLayout LayOutRoute(const LineProgress& line, int width, const QFont& font);

// The station whose dot or name lies at point, or the nearest in its row; -1 when none.
int StationAt(const RouteLayout& layout, QPointF point);
// The row a station lies in.
int RowOf(const RouteLayout& layout, int station);
// The station of the row `rows` away (negative: above) nearest to station's dot; station
// itself when there is no such row.
int StationInRow(const RouteLayout& layout, int station, int rows);
// The rectangle a selected station takes: its ring and its name.
QRectF StationRect(const RouteLayout& layout, int station);

// The fill of a card state's dot; each pair stays apart in the common colour blindnesses, and
// due and forgotten dots carry a mark of their own as well.
QColor CardStateColour(CardState state);
void PaintStationDot(QPainter& p, QPointF centre, qreal radius, CardState state);

struct RouteLook
{
    int selected = -1;
    bool focused = false; // the diagram has the keyboard: the selection shows a focus frame
    QColor highlight = QColor(0, 90, 180);
    QColor highlightedText = Qt::white;
};

// Paints the diagram on white; the painter's origin is the diagram's top left.
void PaintRoute(QPainter& p, const LineProgress& line, const RouteLayout& layout, const QFont& font,
                const RouteLook& look = {});
// The five states' dots and words in a row from at, as the legend under the diagram shows them.
void PaintRouteLegend(QPainter& p, QPointF at, const QFont& font);
qreal RouteLegendWidth(const QFont& font);
// The whole diagram at the width given, as tall as it needs, under the line's name and the
// legend.
QImage RenderRoute(const LineProgress& line, int width, const QFont& font);
