// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "routelayout.h"
#include "progresstext.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Names wrap at any character: a Japanese name has no spaces to wrap at.
constexpr int kLabelFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWrapAnywhere;

// Every length of the diagram follows the font, so that it grows with the text.
struct Metrics
{
    qreal em = 0; // one kanji
    qreal lineSpacing = 0;
    qreal dotRadius = 0;
    qreal ringRadius = 0;
    qreal lane = 0; // the room of a run of track beside or between rows
    qreal gap = 0; // the least room between two names
    qreal labelWidth = 0; // the widest a name is written before it wraps
};

Metrics MetricsFor(const QFont& font)
{
    const QFontMetricsF fm(font);
    Metrics m;
    m.em = fm.horizontalAdvance(QChar(0x99C5));
    m.lineSpacing = fm.lineSpacing();
    m.dotRadius = std::max(5.0, std::round(fm.height() * 0.5));
    m.ringRadius = m.dotRadius + 4;
    m.lane = std::max(8.0, std::round(fm.height() * 0.75));
    m.gap = std::round(m.em * 0.8);
    m.labelWidth = 7 * m.em;
    return m;
}

struct Label
{
    QSizeF size;
    qreal condense = 1.0;
};

// A name on one line; a long one on two; a very long one squeezed to fit two.
Label FitLabel(const QString& name, const QFont& font, const Metrics& m)
{
    const QFontMetricsF fm(font);
    const qreal natural = fm.horizontalAdvance(name);
    if (natural <= m.labelWidth)
        return {QSizeF(natural, m.lineSpacing), 1.0};
    const QRectF wrapped = fm.boundingRect(QRectF(0, 0, m.labelWidth, 1e6), kLabelFlags, name);
    if (wrapped.height() <= 2 * m.lineSpacing + 0.5)
        return {QSizeF(m.labelWidth, wrapped.height()), 1.0};
    const qreal condense = std::max(0.5, 2 * m.labelWidth / natural * 0.9);
    const QRectF squeezed
        = fm.boundingRect(QRectF(0, 0, m.labelWidth / condense, 1e6), kLabelFlags, name);
    return {QSizeF(m.labelWidth, squeezed.height()), condense};
}

// The track: through every dot, round the right end of a full row and back along the gap
// under it to the next row; a loop goes on from its last station, under the last row and up
// the left edge, back into its first.
void BuildTrack(RouteLayout& out, const Metrics& m, bool loop, int width)
{
    const qreal leftInner = 2 * m.lane, rightInner = width - 2 * m.lane;
    const qreal leftOuter = m.lane, rightOuter = width - m.lane;
    QPainterPath& path = out.track;
    path = QPainterPath();
    if (out.dots.isEmpty())
        return;
    path.moveTo(out.dots.first());
    for (int i = 1; i < out.dots.size(); ++i) {
        const QPointF prev = out.dots[i - 1], dot = out.dots[i];
        if (out.rowStart.contains(i)) {
            const qreal wrapY = out.top + RowOf(out, i) * out.rowHeight - m.lane;
            path.lineTo(rightInner, prev.y());
            path.lineTo(rightInner, wrapY);
            path.lineTo(leftInner, wrapY);
            path.lineTo(leftInner, dot.y());
        }
        path.lineTo(dot);
    }
    if (!loop || out.dots.size() < 2)
        return;
    const QPointF last = out.dots.last(), first = out.dots.first();
    const qreal bottomY = out.loopLabel.center().y();
    path.lineTo(rightOuter, last.y());
    path.lineTo(rightOuter, bottomY);
    path.lineTo(leftOuter, bottomY);
    path.lineTo(leftOuter, first.y());
    path.lineTo(first);
}

} // namespace

RouteLayout LayOutRoute(const LineProgress& line, int width, const QFont& font)
{
    const Metrics m = MetricsFor(font);
    RouteLayout out;
    out.dotRadius = m.dotRadius;
    out.ringRadius = m.ringRadius;
    out.trackWidth = std::max(4.0, std::round(m.dotRadius * 0.8));
    out.top = m.lane / 2;
    QList<Label> labels;
    qreal labelHeight = m.lineSpacing;
    for (const StationProgress& s : line.stations) {
        labels << FitLabel(StationLabel(s), font, m);
        labelHeight = std::max(labelHeight, labels.last().size.height());
    }
    const qreal dotOffset = m.ringRadius + 2; // from a row's top to its dots
    const qreal labelOffset = dotOffset + m.ringRadius + 1;
    out.rowHeight = labelOffset + labelHeight + 2 * m.lane;
    const qreal left = 3 * m.lane;
    const qreal right = std::max<qreal>(left + 2 * m.ringRadius, width - 3 * m.lane);
    // Half the room a station takes along its row: its ring or half its name.
    auto half = [&](int i) { return std::max(m.ringRadius, labels[i].size.width() / 2); };
    qreal x = 0;
    for (int i = 0; i < int(labels.size()); ++i) {
        if (i > 0)
            x += half(i - 1) + half(i) + m.gap;
        if (i == 0 || x + half(i) > right) {
            out.rowStart << i;
            x = left + half(i);
        }
        const qreal y = out.top + (out.rowStart.size() - 1) * out.rowHeight + dotOffset;
        out.dots << QPointF(x, y);
        const QSizeF size = labels[i].size;
        out.labels << QRectF(QPointF(x - size.width() / 2, y - dotOffset + labelOffset), size);
        out.condense << labels[i].condense;
    }
    qreal height = out.top + std::max<qsizetype>(1, out.rowStart.size()) * out.rowHeight;
    if (line.loop && labels.size() > 1) {
        // The closing run passes under the last row, its note on it.
        const qreal y = height - m.lane + m.lineSpacing / 2;
        const qreal w = std::min(width - 8 * m.lane, 20 * m.em);
        out.loopLabel = QRectF(width / 2.0 - w / 2, y - m.lineSpacing / 2, w, m.lineSpacing);
        height += m.lineSpacing;
    }
    out.size = QSize(width, int(std::ceil(height + m.lane / 2)));
    BuildTrack(out, m, line.loop, width);
    return out;
}

int RowOf(const RouteLayout& layout, int station)
{
    const auto it = std::upper_bound(layout.rowStart.cbegin(), layout.rowStart.cend(), station);
    return int(it - layout.rowStart.cbegin()) - 1;
}

namespace {

int RowEnd(const RouteLayout& layout, int row)
{
    return row + 1 < layout.rowStart.size() ? layout.rowStart[row + 1] : int(layout.dots.size());
}

int NearestInRow(const RouteLayout& layout, int row, qreal x)
{
    int best = layout.rowStart[row];
    for (int i = best + 1; i < RowEnd(layout, row); ++i) {
        if (std::abs(layout.dots[i].x() - x) < std::abs(layout.dots[best].x() - x))
            best = i;
    }
    return best;
}

} // namespace

int StationAt(const RouteLayout& layout, QPointF point)
{
    if (layout.dots.isEmpty() || layout.rowHeight <= 0)
        return -1;
    const int row = int(std::floor((point.y() - layout.top) / layout.rowHeight));
    if (row < 0 || row >= layout.rowStart.size())
        return -1;
    const int best = NearestInRow(layout, row, point.x());
    const qreal reach = std::max(layout.ringRadius, layout.labels[best].width() / 2) + 6;
    return std::abs(layout.dots[best].x() - point.x()) <= reach ? best : -1;
}

int StationInRow(const RouteLayout& layout, int station, int rows)
{
    if (station < 0 || station >= layout.dots.size())
        return station;
    const int row = RowOf(layout, station) + rows;
    if (row < 0 || row >= layout.rowStart.size())
        return station;
    return NearestInRow(layout, row, layout.dots[station].x());
}

QRectF StationRect(const RouteLayout& layout, int station)
{
    if (station < 0 || station >= layout.dots.size())
        return {};
    const qreal r = layout.ringRadius;
    const QRectF ring(layout.dots[station] - QPointF(r, r), QSizeF(2 * r, 2 * r));
    return ring.united(layout.labels[station]).adjusted(-3, -2, 3, 2);
}

QColor CardStateColour(CardState state)
{
    // From Okabe and Ito's palette for colour-blind readers: sky blue, bluish green, orange and
    // vermilion differ in lightness as well as in hue; a new card is left white.
    switch (state) {
    case CardState::New:
        return QColor(255, 255, 255);
    case CardState::Learning:
        return QColor(0x56, 0xb4, 0xe9);
    case CardState::Known:
        return QColor(0x00, 0x9e, 0x73);
    case CardState::Due:
        return QColor(0xe6, 0x9f, 0x00);
    case CardState::Forgotten:
        return QColor(0xd5, 0x5e, 0x00);
    }
    return Qt::gray;
}

void PaintStationDot(QPainter& p, QPointF centre, qreal radius, CardState state)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 40);
    p.setPen(QPen(ink, std::max(1.0, radius / 5)));
    p.setBrush(CardStateColour(state));
    p.drawEllipse(centre, radius, radius);
    if (state == CardState::Due) {
        // A dark centre: the card waits for its review.
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(centre, radius * 0.38, radius * 0.38);
    } else if (state == CardState::Forgotten) {
        // A white cross: the last answer was wrong.
        const qreal a = radius * 0.45;
        p.setPen(QPen(Qt::white, std::max(1.5, radius / 3.5), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(centre + QPointF(-a, -a), centre + QPointF(a, a));
        p.drawLine(centre + QPointF(-a, a), centre + QPointF(a, -a));
    }
    p.restore();
}

namespace {

void PaintTrack(QPainter& p, const LineProgress& line, const RouteLayout& layout, const QFont& font)
{
    // A darker edge keeps a pale line colour (yellow, light grey) visible on white.
    const QColor colour = QColor::fromRgba(line.colour);
    p.strokePath(layout.track,
                 QPen(colour.darker(160), layout.trackWidth + 2, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
    p.strokePath(layout.track,
                 QPen(colour, layout.trackWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (layout.loopLabel.isEmpty())
        return;
    const QString note = QStringLiteral("環状運転：%1へ戻る").arg(line.stations.first().name);
    const qreal w
        = std::min(layout.loopLabel.width(), QFontMetricsF(font).horizontalAdvance(note) + 16);
    const QRectF box(layout.loopLabel.center().x() - w / 2, layout.loopLabel.top(), w,
                     layout.loopLabel.height());
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(box, 4, 4);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine,
               QFontMetricsF(font).elidedText(note, Qt::ElideMiddle, box.width() - 8));
}

void PaintLabel(QPainter& p, const QString& name, const QRectF& rect, qreal condense)
{
    p.save();
    p.translate(rect.topLeft());
    p.scale(condense, 1);
    p.drawText(QRectF(0, 0, rect.width() / condense, rect.height()), kLabelFlags, name);
    p.restore();
}

} // namespace

void PaintRoute(QPainter& p, const LineProgress& line, const RouteLayout& layout, const QFont& font,
                const RouteLook& look)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    if (line.stations.isEmpty()) {
        p.setPen(Qt::black);
        p.drawText(QRectF(QPointF(0, 0), QSizeF(layout.size)), Qt::AlignCenter,
                   QStringLiteral("この路線には駅がありません"));
        p.restore();
        return;
    }
    PaintTrack(p, line, layout, font);
    for (int i = 0; i < layout.dots.size(); ++i)
        PaintStationDot(p, layout.dots[i], layout.dotRadius, line.stations[i].state);
    for (int i = 0; i < layout.labels.size(); ++i) {
        if (i == look.selected) {
            p.fillRect(layout.labels[i].adjusted(-2, 0, 2, 0), look.highlight);
            p.setPen(look.highlightedText);
        } else {
            p.setPen(Qt::black);
        }
        PaintLabel(p, StationLabel(line.stations[i]), layout.labels[i], layout.condense[i]);
    }
    if (look.selected >= 0 && look.selected < layout.dots.size()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(look.highlight, 3));
        p.drawEllipse(layout.dots[look.selected], layout.ringRadius - 1.5, layout.ringRadius - 1.5);
        if (look.focused) {
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.drawRect(StationRect(layout, look.selected));
        }
    }
    p.restore();
}

void PaintRouteLegend(QPainter& p, QPointF at, const QFont& font)
{
    const QFontMetricsF fm(font);
    const qreal r = fm.height() / 2.0;
    p.save();
    p.setFont(font);
    for (const CardState s : {CardState::New, CardState::Learning, CardState::Known, CardState::Due,
                              CardState::Forgotten}) {
        PaintStationDot(p, at + QPointF(r, r), r - 1, s);
        at.rx() += 2 * r + 4;
        const QString word = CardStateName(s);
        p.setPen(Qt::black);
        p.drawText(QRectF(at, QSizeF(fm.horizontalAdvance(word) + 2, 2 * r)),
                   Qt::AlignLeft | Qt::AlignVCenter, word);
        at.rx() += fm.horizontalAdvance(word) + fm.height();
    }
    p.restore();
}

qreal RouteLegendWidth(const QFont& font)
{
    const QFontMetricsF fm(font);
    qreal width = 0;
    for (const CardState s : {CardState::New, CardState::Learning, CardState::Known, CardState::Due,
                              CardState::Forgotten})
        width += fm.height() + 4 + fm.horizontalAdvance(CardStateName(s)) + fm.height();
    return width;
}

QImage RenderRoute(const LineProgress& line, int width, const QFont& font)
{
    // A picture on its own says whose line it is and what its colours mean: the line's name,
    // then the legend beside it or, on a narrow picture, under it.
    QFont bold(font);
    bold.setBold(true);
    const QFontMetricsF fm(bold);
    const qreal row = fm.lineSpacing() + 8;
    const qreal legendWidth = RouteLegendWidth(font);
    const qreal titleWidth = fm.horizontalAdvance(LineCaption(line));
    const bool beside = titleWidth + legendWidth + 40 <= width;
    const qreal header = (beside ? row : 2 * row) + 4;
    const RouteLayout layout = LayOutRoute(line, width, font);
    QImage image(QSize(width, layout.size.height() + int(std::ceil(header))),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(bold);
    p.setPen(Qt::black);
    p.drawText(QRectF(8, 4, width - 16, row - 4), Qt::AlignLeft | Qt::AlignVCenter,
               fm.elidedText(LineCaption(line), Qt::ElideRight, width - 16));
    const qreal legendX = beside ? width - 8 - legendWidth : 8;
    const qreal legendY = (beside ? 0 : row) + (row - QFontMetricsF(font).height()) / 2;
    PaintRouteLegend(p, QPointF(legendX, legendY), font);
    p.translate(0, header);
    PaintRoute(p, line, layout, font);
    return image;
}
