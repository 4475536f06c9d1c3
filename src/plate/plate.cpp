// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate.h"
#include "gamestate.h"
#include "host.h"
#include "platesurface.h"
#include "platewidget.h"
#include "questionlog.h"
#include "stationtable.h"

namespace {

// Entries past either end of the table read as empty, so the neighbours of the first and the
// last entry never reach outside it.
QString readingAt(std::int32_t index)
{
    if (index < 0 || index >= kStationTableSize)
        return {};
    return StationTable[std::size_t(index)].Reading;
}

QString nameAt(std::int32_t index)
{
    if (index < 0 || index >= kStationTableSize)
        return {};
    return StationTable[std::size_t(index)].StationName;
}

// Left edge that centres text over a span of the given width; a text wider than the span starts
// left of it and is clipped on both sides.
int centredIn(PlateSurface& s, int span, const QString& text)
{
    return (span - s.textWidth(text)) / 2;
}

} // namespace

QString SpreadChars(const QString& text)
{
    QString out;
    out.reserve(text.size() * 3);
    for (const QChar c : text) {
        out += c;
        out += QLatin1String("  ");
    }
    return out;
}

void DrawGameTitle(PlateWidget& pic)
{
    DrawGameTitle(pic.surface());
}

void DrawGameTitle(PlateSurface& s)
{
    s.clear();
    const int w = s.width();

    const QString mode = GetModeName(gGameMode);
    s.setFontSize(20);
    s.drawText(centredIn(s, w, mode), 20, mode);

    s.setFontSize(38);
    s.drawText(centredIn(s, w, gLineName), 60, gLineName);
}

void DrawStationPlate(PlateWidget& pic, std::int32_t index)
{
    DrawStationPlate(pic.surface(), index);
}

void DrawStationPlate(PlateSurface& s, std::int32_t index)
{
    s.clear();
    const int w = s.width();
    const int half = w / 2;

    if (gGameMode != kModeYomiate) {
        const QString reading = SpreadChars(SpreadChars(readingAt(index)));
        s.setFontSize(12);
        s.drawText(centredIn(s, w, reading), 10, reading);
    }

    const QString name = SpreadChars(nameAt(index));
    s.setFontSize(34);
    s.drawText(centredIn(s, w, name), 25, name);

    // The bar runs towards the left, so the next station stands on the left half.
    if (gGameMode != kModeEkiate) {
        // A retry holds only some stations: a neighbour in the table that is none on the line
        // is not shown.
        const QString next
            = NeighboursOnLine(index, index + 1) ? SpreadChars(readingAt(index + 1)) : QString();
        s.setFontSize(16);
        s.drawText(centredIn(s, half, next), 100, next);
    }
    if (index != 0) {
        const QString previous
            = NeighboursOnLine(index - 1, index) ? SpreadChars(readingAt(index - 1)) : QString();
        s.setFontSize(16);
        s.drawText(half + centredIn(s, half, previous), 100, previous);
    }

    // Shapes come after the texts: a tall name is cut off by the bar.
    const QColor black = QColor::fromRgb(PlateSurface::kForeground);
    const QColor white = QColor::fromRgb(PlateSurface::kBackground);
    s.filledBox(QPoint(20, 70), QPoint(w, 90), black);
    s.line(QPoint(0, 80), QPoint(20, 70), black);
    s.line(QPoint(0, 80), QPoint(20, 90), black);
    // The two lines and the bar's left edge close a triangle around this seed.
    s.floodFillBorder(QPoint(19, 80), black, black);

    platform::host().processEvents();

    const Qt::BrushStyle style = s.fillStyle();
    const QColor colour = s.fillColor();
    s.setFillStyle(Qt::SolidPattern);
    s.setFillColor(white);
    s.circle(QPoint(40, 80), 8, white);
    s.setFillStyle(style);
    s.setFillColor(colour);
}
