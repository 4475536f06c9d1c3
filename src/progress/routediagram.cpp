// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "routediagram.h"
#include "progresstext.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <cmath>

RouteDiagram::RouteDiagram(const LineProgress& line, QWidget* parent)
    : QAbstractScrollArea(parent), line_(line)
{
    setObjectName(QStringLiteral("picRoute"));
    setAccessibleName(QStringLiteral("路線図"));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(true);
    QPalette white = viewport()->palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(white);
    viewport()->setMouseTracking(true);
    relayout();
}

QSize RouteDiagram::sizeHint() const
{
    // Three rows without scrolling, as wide as the window makes it.
    const int rows = int(std::min<qsizetype>(3, std::max<qsizetype>(1, layout_.rowStart.size())));
    return {480, int(layout_.top + rows * layout_.rowHeight) + 2 * frameWidth() + 4};
}

QSize RouteDiagram::minimumSizeHint() const
{
    // At least one row, and room for the widest name.
    return {fontMetrics().horizontalAdvance(QChar(0x99C5)) * 9,
            int(layout_.rowHeight) + 2 * frameWidth()};
}

void RouteDiagram::setSelected(int i)
{
    if (i < -1 || i >= line_.stations.size())
        i = -1;
    if (i >= 0) {
        // The whole row comes into view, its neighbours' names with it; the last row with the
        // run under it.
        const int row = RowOf(layout_, i);
        QRectF r(0, layout_.top + row * layout_.rowHeight, width(), layout_.rowHeight);
        if (row == layout_.rowStart.size() - 1)
            r.setBottom(layout_.size.height());
        QScrollBar* bar = verticalScrollBar();
        if (r.top() < bar->value())
            bar->setValue(int(r.top()));
        else if (r.bottom() > bar->value() + viewport()->height())
            bar->setValue(int(std::ceil(r.bottom())) - viewport()->height());
    }
    if (i == selected_)
        return;
    selected_ = i;
    viewport()->update();
    emit selectedChanged(i);
}

void RouteDiagram::relayout()
{
    layout_ = LayOutRoute(line_, viewport()->width(), font());
    // No taller than the whole line at the full width: a short line leaves its room to the
    // rest of the window. Reckoned without the scroll bar, which a line that fits never shows.
    const int whole = LayOutRoute(line_, width() - 2 * frameWidth(), font()).size.height();
    setMaximumHeight(std::max(minimumSizeHint().height(), whole + 2 * frameWidth()));
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, layout_.size.height() - viewport()->height()));
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(std::max(1, int(layout_.rowHeight / 2)));
    updateGeometry();
    viewport()->update();
}

void RouteDiagram::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
    if (selected_ >= 0)
        setSelected(selected_);
}

void RouteDiagram::scrollContentsBy(int, int)
{
    viewport()->update();
}

void RouteDiagram::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        relayout();
}

void RouteDiagram::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.translate(0, -verticalScrollBar()->value());
    RouteLook look;
    look.selected = selected_;
    look.focused = hasFocus();
    look.highlight = palette().color(QPalette::Active, QPalette::Highlight);
    look.highlightedText = palette().color(QPalette::Active, QPalette::HighlightedText);
    PaintRoute(p, line_, layout_, font(), look);
    if (hasFocus() && selected_ < 0) {
        // Nothing chosen yet: the whole diagram shows that it has the keyboard.
        p.resetTransform();
        p.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
        p.drawRect(viewport()->rect().adjusted(1, 1, -2, -2));
    }
}

int RouteDiagram::stationForKey(int key) const
{
    const int last = int(line_.stations.size()) - 1;
    if (last < 0)
        return -1;
    const int rowsPerPage = std::max(1, int(viewport()->height() / layout_.rowHeight));
    if (selected_ < 0)
        return key == Qt::Key_End ? last : 0;
    switch (key) {
    case Qt::Key_Left:
        return std::max(0, selected_ - 1);
    case Qt::Key_Right:
        return std::min(last, selected_ + 1);
    case Qt::Key_Up:
        return StationInRow(layout_, selected_, -1);
    case Qt::Key_Down:
        return StationInRow(layout_, selected_, 1);
    case Qt::Key_PageUp:
        return StationInRow(layout_, selected_, -std::min(rowsPerPage, RowOf(layout_, selected_)));
    case Qt::Key_PageDown:
        return StationInRow(
            layout_, selected_,
            std::min(rowsPerPage, int(layout_.rowStart.size()) - 1 - RowOf(layout_, selected_)));
    case Qt::Key_Home:
        return 0;
    case Qt::Key_End:
        return last;
    default:
        return -1;
    }
}

void RouteDiagram::keyPressEvent(QKeyEvent* event)
{
    static const int keys[] = {Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,   Qt::Key_Down,
                               Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    const bool moving
        = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (!moving || std::find(std::begin(keys), std::end(keys), event->key()) == std::end(keys)) {
        // Tab, Esc and Enter belong to the window.
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int to = stationForKey(event->key());
    if (to >= 0)
        setSelected(to);
    event->accept();
}

void RouteDiagram::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QPointF at = event->position() + QPointF(0, verticalScrollBar()->value());
    const int i = StationAt(layout_, at);
    if (i >= 0)
        setSelected(i);
}

void RouteDiagram::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void RouteDiagram::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

bool RouteDiagram::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int i = StationAt(layout_, help->pos() + QPointF(0, verticalScrollBar()->value()));
        if (i >= 0) {
            const StationProgress& s = line_.stations[i];
            QToolTip::showText(
                help->globalPos(),
                QStringLiteral("%1（%2）　%3").arg(s.name, s.reading, CardStateName(s.state)),
                viewport());
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

RouteLegend::RouteLegend(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picLegend"));
    setAccessibleName(QStringLiteral("未出題・学習中・覚えた・復習日・忘れた"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize RouteLegend::sizeHint() const
{
    return {int(std::ceil(RouteLegendWidth(font()))), fontMetrics().height() + 2};
}

void RouteLegend::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    PaintRouteLegend(p, QPointF(0, 1), font());
}
