// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platesurface.h"
#include "fonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

QFont plateFont(double points)
{
    QFont font(QString::fromUtf8(platform::kProportionalGothic));
    font.setPointSizeF(points);
    return font;
}

// Device pixel edge of a design pixel edge. Rounding every edge the same way makes design pixels
// tile the picture at any ratio, 1.5 included: no gaps between neighbours, none overlapping.
int deviceEdge(int designEdge, qreal ratio)
{
    return int(std::lround(designEdge * ratio));
}

// The first device pixel of a design pixel.
QPoint devicePixel(QPoint p, qreal ratio)
{
    return QPoint(deviceEdge(p.x(), ratio), deviceEdge(p.y(), ratio));
}

void make32Bit(QImage& image)
{
    if (image.depth() != 32)
        image.convertTo(QImage::Format_RGB32);
}

// Paints the design pixels left..right by top..bottom (inclusive) with an opaque colour.
void fillDesignBox(QImage& image, int left, int top, int right, int bottom, QRgb colour)
{
    const qreal ratio = image.devicePixelRatio();
    const QRect device
        = QRect(QPoint(deviceEdge(left, ratio), deviceEdge(top, ratio)),
                QPoint(deviceEdge(right + 1, ratio) - 1, deviceEdge(bottom + 1, ratio) - 1))
              .intersected(image.rect());
    if (device.isEmpty())
        return;
    make32Bit(image);
    colour |= 0xFF000000;
    for (int y = device.top(); y <= device.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + device.left(), line + device.right() + 1, colour);
    }
}

} // namespace

PlateSurface::PlateSurface(QImage& image, std::function<void()> changed)
    : image_(&image), changed_(std::move(changed))
{ }

void PlateSurface::touched()
{
    if (changed_)
        changed_();
}

void PlateSurface::clear()
{
    texts_.clear();
    if (!usable())
        return;
    image_->fill(kBackground);
    touched();
}

int PlateSurface::width() const
{
    return usable() ? qRound(image_->deviceIndependentSize().width()) : 0;
}

int PlateSurface::height() const
{
    return usable() ? qRound(image_->deviceIndependentSize().height()) : 0;
}

void PlateSurface::setFontSize(double points)
{
    points_ = points;
}

int PlateSurface::textWidth(const QString& text) const
{
    // Measured against the picture so that its 96 dpi, not the screen's, turns points to pixels.
    static const QImage reference = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(kDotsPerMeter);
        image.setDotsPerMeterY(kDotsPerMeter);
        return image;
    }();
    const QFontMetricsF metrics(plateFont(points_), usable() ? image_ : &reference);
    return qRound(metrics.horizontalAdvance(text));
}

void PlateSurface::drawText(int x, int y, const QString& text)
{
    texts_.append({text, x, y, points_});
    if (!usable() || text.isEmpty())
        return;
    QPainter p(image_);
    const QFont font = plateFont(points_);
    p.setFont(font);
    p.setPen(QColor::fromRgb(kForeground));
    // Placed by the top of the cell, as the game's layout counts; Qt places by the baseline.
    const double ascent = QFontMetricsF(font, image_).ascent();
    p.drawText(QPointF(x, y + std::round(ascent)), text);
    p.end();
    touched();
}

void PlateSurface::drawCondensedText(int x, int y, const QString& text, double stretch,
                                     int clipLeft, int clipRight)
{
    texts_.append({text, x, y, points_, stretch});
    if (!usable() || text.isEmpty() || stretch <= 0)
        return;
    QPainter p(image_);
    const QFont font = plateFont(points_);
    p.setFont(font);
    p.setPen(QColor::fromRgb(kForeground));
    p.setClipRect(QRectF(clipLeft, 0, clipRight - clipLeft, height()));
    const double ascent = QFontMetricsF(font, image_).ascent();
    // Scaling the painter rather than asking for a condensed face: the gothic has no narrower
    // widths, and a scale shrinks every glyph and blank by the same factor, so the text takes
    // exactly stretch times the width measured for it.
    p.translate(x, 0);
    p.scale(stretch, 1);
    p.drawText(QPointF(0, y + std::round(ascent)), text);
    p.end();
    touched();
}

void PlateSurface::line(QPoint from, QPoint to, QColor colour)
{
    if (!usable())
        return;
    // Rasterised in device pixels, so that a slanted line on a high-density screen steps by its
    // fine pixels rather than by whole design pixels. The line is one design pixel thick and runs
    // through the middles of its end pixels; every device column (row, for a steep line) gets
    // the pixels that the line's thickness covers there. At a ratio of 1 that is one pixel a
    // column, the same staircase as Bresenham's, and at any ratio neighbouring columns touch, so
    // no fill slips through.
    const qreal ratio = image_->devicePixelRatio();
    const bool steep = std::abs(to.y() - from.y()) > std::abs(to.x() - from.x());
    // Major and minor coordinates: along the line and across it.
    auto major = [steep](QPoint p) { return steep ? p.y() : p.x(); };
    auto minor = [steep](QPoint p) { return steep ? p.x() : p.y(); };
    // Level lines round like box edges do, so that they match a box's row exactly.
    const bool towardsMore = minor(to) >= minor(from);
    if (major(from) > major(to))
        std::swap(from, to);
    const int run = major(to) - major(from);
    const int rise = minor(to) - minor(from);
    // Where the line's thickness starts across it, in device pixels, at device column i.
    auto startAt = [&](int i) {
        const double along = (i + 0.5) - (major(from) + 0.5) * ratio;
        return minor(from) * ratio + (run == 0 ? 0.0 : along * rise / run);
    };
    // A device pixel edge exactly half way between two goes the way the line was drawn towards,
    // as Bresenham's does.
    auto edge = [towardsMore](double d) {
        return towardsMore ? int(std::floor(d + 0.5)) : int(std::ceil(d - 0.5));
    };

    make32Bit(*image_);
    const QRgb rgb = colour.rgb() | 0xFF000000;
    const int lastMajor = (steep ? image_->height() : image_->width()) - 1;
    // Like Bresenham's, the line stays within the box of its end pixels: where it ends at the
    // corner of a filled box, nothing pokes out past the box's edge.
    const int lowestMinor = std::max(deviceEdge(std::min(minor(from), minor(to)), ratio), 0);
    const int lastMinor = std::min(deviceEdge(std::max(minor(from), minor(to)) + 1, ratio) - 1,
                                   (steep ? image_->width() : image_->height()) - 1);
    const int first = std::max(deviceEdge(major(from), ratio), 0);
    const int last = std::min(deviceEdge(major(to) + 1, ratio) - 1, lastMajor);
    for (int i = first; i <= last; ++i) {
        const double start = startAt(i);
        const int low = std::max(edge(start), lowestMinor);
        const int high = std::min(edge(start + ratio) - 1, lastMinor);
        for (int j = low; j <= high; ++j) {
            const int x = steep ? j : i;
            const int y = steep ? i : j;
            reinterpret_cast<QRgb*>(image_->scanLine(y))[x] = rgb;
        }
    }
    touched();
}

void PlateSurface::filledBox(QPoint corner1, QPoint corner2, QColor colour)
{
    if (!usable())
        return;
    fillDesignBox(*image_, std::min(corner1.x(), corner2.x()), std::min(corner1.y(), corner2.y()),
                  std::max(corner1.x(), corner2.x()), std::max(corner1.y(), corner2.y()),
                  colour.rgb());
    touched();
}

void PlateSurface::floodFillBorder(QPoint seed, QColor border, QColor fill)
{
    if (!usable())
        return;
    floodFillBorder(*image_, devicePixel(seed, image_->devicePixelRatio()), border.rgb(),
                    fill.rgb());
    touched();
}

void PlateSurface::floodFillBorder(QImage& image, QPoint seed, QRgb border, QRgb fill)
{
    if (image.isNull() || !image.rect().contains(seed))
        return;
    make32Bit(image);
    const int w = image.width();
    const int h = image.height();
    border &= RGB_MASK;
    fill = (fill & RGB_MASK) | 0xFF000000;
    auto row = [&image](int y) { return reinterpret_cast<QRgb*>(image.scanLine(y)); };
    if ((row(seed.y())[seed.x()] & RGB_MASK) == border)
        return;

    // What has been filled already: the fill colour need not be the border colour, so a filled
    // pixel would otherwise be met again and again.
    std::vector<bool> done(std::size_t(w) * std::size_t(h), false);
    auto open = [&](int x, int y) {
        return !done[std::size_t(y) * w + x] && (row(y)[x] & RGB_MASK) != border;
    };

    std::vector<QPoint> stack {seed};
    while (!stack.empty()) {
        const QPoint s = stack.back();
        stack.pop_back();
        const int y = s.y();
        if (!open(s.x(), y))
            continue;
        int left = s.x();
        while (left > 0 && open(left - 1, y))
            --left;
        int right = s.x();
        while (right + 1 < w && open(right + 1, y))
            ++right;
        QRgb* line = row(y);
        for (int x = left; x <= right; ++x) {
            line[x] = fill;
            done[std::size_t(y) * w + x] = true;
        }
        // One seed for every run of open pixels touching the span above and below.
        for (const int ny : {y - 1, y + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            bool inRun = false;
            for (int x = left; x <= right; ++x) {
                const bool o = open(x, ny);
                if (o && !inRun)
                    stack.emplace_back(x, ny);
                inRun = o;
            }
        }
    }
}

void PlateSurface::circle(QPoint centre, int radius, QColor outline)
{
    if (!usable() || radius < 0)
        return;
    // Rasterised here rather than by QPainter so that the circle is symmetric about the middle
    // of its centre pixel at every pixel ratio: the rim is every device pixel whose middle lies
    // within half a design pixel of the radius, the inside everything nearer.
    const qreal ratio = image_->devicePixelRatio();
    const double cx = (centre.x() + 0.5) * ratio;
    const double cy = (centre.y() + 0.5) * ratio;
    const double outer = (radius + 0.5) * ratio;
    const double inner = (radius - 0.5) * ratio;
    const QRect box = QRect(int(std::floor(cx - outer)), int(std::floor(cy - outer)),
                            int(std::ceil(2 * outer)) + 1, int(std::ceil(2 * outer)) + 1)
                          .intersected(image_->rect());
    if (box.isEmpty())
        return;

    // The fill pattern over the circle's box, so hatched styles work like the solid one.
    QImage pattern;
    if (fillStyle_ != Qt::NoBrush) {
        pattern = QImage(box.size(), QImage::Format_ARGB32_Premultiplied);
        pattern.fill(Qt::transparent);
        QPainter p(&pattern);
        p.fillRect(pattern.rect(), QBrush(fillColor_, fillStyle_));
    }
    make32Bit(*image_);
    const QRgb rim = outline.rgb();
    for (int y = box.top(); y <= box.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_->scanLine(y));
        for (int x = box.left(); x <= box.right(); ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (d > outer)
                continue;
            if (d > inner) {
                line[x] = rim;
            } else if (!pattern.isNull()) {
                const QRgb c = pattern.pixel(x - box.left(), y - box.top());
                if (qAlpha(c) == 255)
                    line[x] = c;
            }
        }
    }
    touched();
}
