// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "progresschart.h"
#include "progresstext.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Both scales share their grid lines: five intervals (0, 20, ... 100%), or two (0, 50, 100%)
// on a chart too low for five labels apart.
int Intervals(qreal plotHeight, qreal lineSpacing)
{
    if (plotHeight >= 5 * 1.5 * lineSpacing)
        return 5;
    return plotHeight >= 2 * 1.2 * lineSpacing ? 2 : 1;
}

struct Scale
{
    double lo = 0;
    double hi = 1;
};

Scale ScoreScale(const QList<GamePoint>& games, int intervals)
{
    double lo = 0, hi = 0;
    for (const GamePoint& g : games) {
        lo = std::min(lo, double(g.score));
        hi = std::max(hi, double(g.score));
    }
    if (hi <= lo)
        hi = lo + 100;
    double step = NiceStep(lo, hi, intervals);
    lo = std::floor(lo / step) * step;
    // Moving the bottom down to a whole step may leave the top short of the best score.
    if (lo + intervals * step < hi)
        step = NiceStep(lo, hi, intervals);
    return {lo, lo + intervals * step};
}

// Maps games onto the plot.
struct Plot
{
    QRectF rect;
    qsizetype games = 1;
    Scale score;
    int intervals = 5;

    qreal x(int game) const { return ChartGameX(rect, games, game); }
    qreal yRate(double rate) const { return rect.bottom() - rect.height() * rate; }
    qreal yScore(double s) const
    {
        return rect.bottom() - rect.height() * (s - score.lo) / (score.hi - score.lo);
    }
};

QString ScoreLabel(double value)
{
    return Grouped(qint64(std::llround(value)));
}

// The legend along the top: a sample of each series' stroke and mark, then its name.
void PaintLegend(QPainter& p, const QRectF& row, const QFontMetricsF& fm)
{
    const QString rate = QStringLiteral("正解率（%、左の目盛り）");
    const QString score = QStringLiteral("得点（点、右の目盛り）");
    const qreal sample = fm.height() * 2;
    const qreal gap = fm.height();
    const qreal whole
        = 2 * (sample + 6) + fm.horizontalAdvance(rate) + fm.horizontalAdvance(score) + 2 * gap;
    qreal x = row.center().x() - whole / 2;
    const qreal y = row.center().y();
    for (int series = 0; series < 2; ++series) {
        const QColor colour = series == 0 ? kRateColour : kScoreColour;
        p.setPen(QPen(colour, 2, series == 0 ? Qt::SolidLine : Qt::DashLine));
        p.drawLine(QPointF(x, y), QPointF(x + sample, y));
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        const QPointF c(x + sample / 2, y);
        if (series == 0)
            p.drawEllipse(c, 4, 4);
        else
            p.drawRect(QRectF(c - QPointF(4, 4), QSizeF(8, 8)));
        x += sample + 6;
        const QString& text = series == 0 ? rate : score;
        p.setPen(Qt::black);
        p.drawText(QRectF(x, row.top(), fm.horizontalAdvance(text) + 2, row.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, text);
        x += fm.horizontalAdvance(text) + 2 * gap;
    }
}

// The grid, both scales and the days under the plot.
void PaintAxes(QPainter& p, const Plot& plot, const QList<GamePoint>& games,
               const QFontMetricsF& fm)
{
    const QRectF& r = plot.rect;
    const qreal h = fm.height();
    const int n = plot.intervals;
    for (int i = 0; i <= n; ++i) {
        const qreal y = r.bottom() - r.height() * i / n;
        p.setPen(QPen(i == 0 ? QColor(120, 120, 120) : QColor(220, 220, 220), 1));
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        p.setPen(kRateColour.darker(130));
        p.drawText(QRectF(0, y - h / 2, r.left() - 6, h), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(i * 100 / n));
        p.setPen(kScoreColour.darker(130));
        const double score = plot.score.lo + (plot.score.hi - plot.score.lo) * i / n;
        p.drawText(QRectF(r.right() + 6, y - h / 2, 1000, h), Qt::AlignLeft | Qt::AlignVCenter,
                   ScoreLabel(score));
    }
    for (const ChartDayLabel& day : ChartDayLabels(r, games, fm)) {
        const qreal x = plot.x(day.game);
        p.setPen(QPen(QColor(235, 235, 235), 1));
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        p.setPen(QPen(QColor(120, 120, 120), 1));
        p.drawLine(QPointF(x, r.bottom()), QPointF(x, r.bottom() + 4));
        p.setPen(Qt::black);
        p.drawText(day.rect, Qt::AlignHCenter | Qt::AlignTop, day.text);
    }
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void PaintSeries(QPainter& p, const Plot& plot, const QList<GamePoint>& games)
{
    // Smaller marks when the games crowd together, so that the lines stay readable.
    const qreal spacing = plot.rect.width() / std::max<qsizetype>(1, games.size());
    const qreal mark = std::clamp(std::min(spacing / 3, plot.rect.height() / 30), 2.0, 4.0);
    for (int series = 0; series < 2; ++series) {
        const QColor colour = series == 0 ? kRateColour : kScoreColour;
        QPainterPath path;
        QList<QPointF> points;
        for (int i = 0; i < int(games.size()); ++i) {
            const GamePoint& g = games[i];
            const QPointF at(plot.x(i),
                             series == 0 ? plot.yRate(std::clamp(g.rate, 0.0, 1.0))
                                         : plot.yScore(g.score));
            points << at;
            if (path.elementCount() == 0)
                path.moveTo(at);
            else
                path.lineTo(at);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(colour, 2, series == 0 ? Qt::SolidLine : Qt::DashLine, Qt::RoundCap,
                      Qt::RoundJoin));
        p.drawPath(path);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(colour);
        // One mark a pixel column: hundreds of games in a narrow chart would otherwise paint
        // their marks over one another, costing more than all the rest.
        int column = std::numeric_limits<int>::min();
        for (const QPointF& at : points) {
            if (int(at.x()) == column)
                continue;
            column = int(at.x());
            if (series == 0)
                p.drawEllipse(at, mark + 0.5, mark + 0.5);
            else
                p.drawRect(QRectF(at - QPointF(mark, mark), QSizeF(2 * mark, 2 * mark)));
        }
    }
}

QString SpanText(const QList<GamePoint>& games)
{
    const QString format = QStringLiteral("yyyy/MM/dd");
    const QString first = games.first().when.toString(format);
    const QString last = games.last().when.toString(format);
    if (first == last)
        return QStringLiteral("日付（%1）").arg(first);
    return QStringLiteral("日付（%1〜%2）").arg(first, last);
}

} // namespace

double NiceStep(double lo, double hi, int intervals)
{
    const double raw = std::max(1e-9, (hi - lo) / std::max(1, intervals));
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (m * power >= raw - 1e-9)
            return m * power;
    }
    return 10 * power;
}

void PaintChart(QPainter& p, const QRectF& area, const LineProgress& line, const QFont& font)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(font);
    p.fillRect(area, Qt::white);
    const QFontMetricsF fm(font);
    if (line.games.isEmpty()) {
        p.setPen(Qt::black);
        p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                   QStringLiteral("まだ最後まで遊んだゲームがありません"));
        p.restore();
        return;
    }
    const qreal h = fm.lineSpacing();
    const qreal top = 2.8 * h + 4, bottom = 2 * h + 10; // the legend above, the dates below
    Plot plot;
    plot.games = line.games.size();
    plot.intervals = Intervals(area.height() - top - bottom, h);
    plot.score = ScoreScale(line.games, plot.intervals);
    const qreal left = fm.horizontalAdvance(QStringLiteral("100")) + 14;
    qreal right = 0;
    for (int i = 0; i <= plot.intervals; ++i) {
        const double score = plot.score.lo + (plot.score.hi - plot.score.lo) * i / plot.intervals;
        right = std::max(right, fm.horizontalAdvance(ScoreLabel(score)));
    }
    plot.rect = area.adjusted(left, top, -(right + 14), -bottom);
    PaintLegend(p, QRectF(area.left(), area.top() + 2, area.width(), h + 2), fm);
    const qreal unitsTop = area.top() + 1.2 * h + 4;
    p.setPen(kRateColour.darker(130));
    p.drawText(QRectF(area.left() + 4, unitsTop, area.width() / 2, h),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("正解率（%）"));
    p.setPen(kScoreColour.darker(130));
    p.drawText(QRectF(area.center().x(), unitsTop, area.width() / 2 - 4, h),
               Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("得点（点）"));
    PaintAxes(p, plot, line.games, fm);
    p.setClipRect(plot.rect.adjusted(-6, -6, 6, 6));
    PaintSeries(p, plot, line.games);
    p.setClipping(false);
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), area.bottom() - h - 2, area.width(), h),
               Qt::AlignHCenter | Qt::AlignVCenter, SpanText(line.games));
    p.restore();
}

qreal ChartGameX(const QRectF& plot, qsizetype games, int game)
{
    return plot.left() + plot.width() * (game + 0.5) / double(std::max<qsizetype>(1, games));
}

QList<ChartDayLabel> ChartDayLabels(const QRectF& plot, const QList<GamePoint>& games,
                                    const QFontMetricsF& fm)
{
    QList<ChartDayLabel> labels;
    // A blank of two characters at least between one day and the next.
    const qreal gap = 2 * fm.averageCharWidth();
    const qreal h = fm.height();
    qreal free = -std::numeric_limits<qreal>::infinity();
    for (int i = 0; i < int(games.size()); ++i) {
        const QDate day = games[i].when.date();
        if (i > 0 && day == games[i - 1].when.date())
            continue;
        const QString text = day.toString(QStringLiteral("M/d"));
        const qreal w = fm.horizontalAdvance(text) + 2;
        const qreal x = ChartGameX(plot, games.size(), i);
        // Under the plot only, clear of the scales' numbers at its corners.
        const qreal left
            = std::clamp(x - w / 2, plot.left(), std::max(plot.left(), plot.right() - w));
        const QRectF rect(left, plot.bottom() + 5, w, h);
        if (rect.left() < free)
            continue;
        labels.append({i, text, rect});
        free = rect.right() + gap;
    }
    return labels;
}

QImage RenderChart(const LineProgress& line, QSize size, const QFont& font)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    // A picture on its own says whose games it shows.
    QFont bold(font);
    bold.setBold(true);
    const QFontMetricsF fm(bold);
    const qreal title = fm.lineSpacing() + 8;
    p.setFont(bold);
    p.setPen(Qt::black);
    p.drawText(QRectF(8, 4, image.width() - 16, title - 4), Qt::AlignLeft | Qt::AlignVCenter,
               fm.elidedText(LineCaption(line), Qt::ElideRight, image.width() - 16));
    PaintChart(p, QRectF(0, title, image.width(), image.height() - title), line, font);
    return image;
}

ProgressChart::ProgressChart(const LineProgress& line, QWidget* parent)
    : QWidget(parent), line_(line)
{
    setObjectName(QStringLiteral("picChart"));
    setAccessibleName(QStringLiteral("正解率と得点のグラフ"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize ProgressChart::sizeHint() const
{
    const int h = fontMetrics().lineSpacing();
    return {h * 40, h * 17};
}

QSize ProgressChart::minimumSizeHint() const
{
    const int h = fontMetrics().lineSpacing();
    return {h * 24, h * 10};
}

void ProgressChart::paintEvent(QPaintEvent*)
{
    // Painted once for each size: the window opening, moving or coming back to the front
    // paints the picture, not the games again.
    const qreal ratio = devicePixelRatioF();
    if (cache_.isNull() || cache_.size() != size() * ratio || cache_.devicePixelRatio() != ratio) {
        cache_ = QPixmap(size() * ratio);
        cache_.setDevicePixelRatio(ratio);
        QPainter into(&cache_);
        PaintChart(into, QRectF(rect()), line_, font());
    }
    QPainter p(this);
    p.drawPixmap(0, 0, cache_);
}
