// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing operations the station plate is built from, over a picture whose coordinates are
// design pixels (96 dpi, origin top left, y down). The picture may hold more device pixels per
// design pixel (a high-density screen); shapes are placed in design pixels all the same, and
// text, slanted lines and circles are rendered at the full resolution.

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <functional>

class PlateSurface
{
public:
    // A text as it was drawn: top-left corner of its cell, the font size in points and the
    // horizontal scale it was drawn at (1 for its natural width, less when condensed).
    struct TextCall
    {
        QString text;
        int x = 0;
        int y = 0;
        double points = 0;
        double stretch = 1;
        bool operator==(const TextCall&) const = default;
    };

    static constexpr QRgb kBackground = 0xFFFFFFFF;
    static constexpr QRgb kForeground = 0xFF000000;
    // Dots per meter of 96 dots per inch: 12 pt become 16 px.
    static constexpr int kDotsPerMeter = 3780;

    // Draws on image (which the caller owns and may replace by assignment); changed runs after
    // every operation that alters it, so a window can schedule a repaint.
    explicit PlateSurface(QImage& image, std::function<void()> changed = {});

    // Fills the whole picture with the background colour and forgets the drawn texts.
    void clear();
    // Size in design pixels, rounded.
    int width() const;
    int height() const;

    // Font size in points at 96 dpi; the face is always the proportional gothic.
    void setFontSize(double points);
    double fontSize() const { return points_; }
    // Width of text in the current font, in design pixels rounded to nearest; trailing blanks
    // count.
    int textWidth(const QString& text) const;
    // Draws text in the foreground colour with the top-left corner of its cell at (x, y);
    // whatever falls outside the picture is clipped.
    void drawText(int x, int y, const QString& text);
    // Draws text condensed to stretch times its natural width (0 < stretch <= 1), its cell's
    // left edge at x, and nothing of it left of clipLeft or from clipRight on.
    void drawCondensedText(int x, int y, const QString& text, double stretch, int clipLeft,
                           int clipRight);
    // The texts drawn since the last clear, in order.
    const QList<TextCall>& texts() const { return texts_; }

    // A line one design pixel thick, both ends included, without antialiasing, so that lines
    // meeting at a corner leave no gap a fill could slip through.
    void line(QPoint from, QPoint to, QColor colour);
    // A box filled and outlined in colour, covering both corner points and every pixel between
    // them (from (20, 70) to (25, 90) covers x 20..25 and y 70..90).
    void filledBox(QPoint corner1, QPoint corner2, QColor colour);
    // Paints fill from seed over every pixel connected to it (left, right, up, down) that is not
    // the border colour. A seed on the border colour or outside the picture does nothing.
    void floodFillBorder(QPoint seed, QColor border, QColor fill);
    // A circle around the centre pixel, outlined in colour and filled per fill style and colour.
    void circle(QPoint centre, int radius, QColor outline);

    Qt::BrushStyle fillStyle() const { return fillStyle_; }
    void setFillStyle(Qt::BrushStyle style) { fillStyle_ = style; }
    QColor fillColor() const { return fillColor_; }
    void setFillColor(QColor colour) { fillColor_ = colour; }

    // The fill itself, in device pixels of image: scanline spans kept on an explicit stack, so
    // that a picture of any size fills without deep recursion. Colours compare without alpha.
    static void floodFillBorder(QImage& image, QPoint seed, QRgb border, QRgb fill);

private:
    bool usable() const { return !image_->isNull(); }
    void touched();

    QImage* image_;
    std::function<void()> changed_;
    double points_ = 9;
    Qt::BrushStyle fillStyle_ = Qt::NoBrush; // transparent until a caller asks for more
    QColor fillColor_ = Qt::black;
    QList<TextCall> texts_;
};
