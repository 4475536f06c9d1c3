// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate.h"
#include "gamestate.h"
#include "host.h"
#include "platesurface.h"
#include "platewidget.h"
#include "questionlog.h"
#include "session.h"
#include "stationtable.h"

#include <algorithm>
#include <cmath>

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

// The station's number on this line as its sign shows it: the one with the line's symbol, else
// the first; "" when the line file gives none.
QString numberAt(std::int32_t index)
{
    if (index < 0 || index >= kStationTableSize)
        return {};
    const QStringList numbers = ParseStationExtra(StationTable[std::size_t(index)].Extra).numbers;
    for (const QString& n : numbers) {
        if (!gLine.meta.symbol.isEmpty() && n.startsWith(gLine.meta.symbol))
            return n;
    }
    return numbers.value(0);
}

// Left edge that centres text over a span of the given width, trailing blanks counted; a text
// wider than the span starts left of it.
int centredIn(PlateSurface& s, int span, const QString& text)
{
    return (span - s.textWidth(text)) / 2;
}

// Each text has its own space on the plate, a run of columns it is centred in:
// - on the title, the mode's name and the line's name: the whole width, one above the other;
// - the spread reading on top and the station's name under it: the whole width, each on its own
//   row above the bar;
// - under the bar, the next station's reading: the left half (0 to w / 2), and the previous
//   one's: the right half (w / 2 to 2 * (w / 2)), side by side on one row.
// Only the inked part counts: the blanks that follow the last character of a spread text are
// not seen. A text that fits is drawn as it always was. One that does not is condensed to fit
// its space less kGutter on either side, so that two neighbours keep a clear gap between them;
// it is never condensed below kNarrowest of its width, where it is cut at its space's edges.
constexpr int kGutter = 4;
constexpr double kNarrowest = 0.5;

QString withoutTrailingBlanks(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

} // namespace

void DrawFittedText(PlateSurface& s, int left, int span, int y, const QString& text)
{
    const int x = left + centredIn(s, span, text);
    const int inked = s.textWidth(withoutTrailingBlanks(text));
    if (inked <= 0 || (x >= left && x + inked <= left + span)) {
        s.drawText(x, y, text);
        return;
    }
    const double stretch = std::clamp(double(span - 2 * kGutter) / inked, kNarrowest, 1.0);
    const int condensedX = left + int(std::lround((span - inked * stretch) / 2));
    s.drawCondensedText(condensedX, y, text, stretch, left, left + span);
}

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

void DrawStationNumber(PlateSurface& s, int nameLeft, const QString& number)
{
    if (number.isEmpty())
        return;
    // In the empty space left of the name, boxed as on the signs; where the name leaves no room
    // (a long name, or one condensed to fit) the plate stays as it is.
    s.setFontSize(12);
    const int width = s.textWidth(number);
    constexpr int left = 6, top = 38, pad = 3, height = 22;
    if (nameLeft < left + width + 2 * pad + 2 * kGutter)
        return;
    const QColor black = QColor::fromRgb(PlateSurface::kForeground);
    const int right = left + width + 2 * pad;
    s.line(QPoint(left, top), QPoint(right, top), black);
    s.line(QPoint(right, top), QPoint(right, top + height), black);
    s.line(QPoint(right, top + height), QPoint(left, top + height), black);
    s.line(QPoint(left, top + height), QPoint(left, top), black);
    s.drawText(left + pad, top + 3, number);
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
    DrawFittedText(s, 0, w, 20, mode);

    s.setFontSize(38);
    DrawFittedText(s, 0, w, 60, gLineName);
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

    // A lesson's first pass shows what is to be learnt.
    if (gGameMode != kModeYomiate || gSubset.seeing) {
        const QString reading = SpreadChars(SpreadChars(readingAt(index)));
        s.setFontSize(12);
        DrawFittedText(s, 0, w, 10, reading);
    }

    const QString name = SpreadChars(nameAt(index));
    s.setFontSize(34);
    DrawFittedText(s, 0, w, 25, name);
    DrawStationNumber(s, centredIn(s, w, name), numberAt(index));

    // The bar runs towards the left, so the next station stands on the left half.
    // The line's real neighbours, also while only some of its stations are asked (a retry,
    // today's review, a lesson): the plate always shows where the train comes from and goes.
    // On a loop line the last station's next is the first.
    QString neighbour;
    if ((gGameMode != kModeEkiate || gSubset.seeing) && LineNeighbour(index, +1, &neighbour)) {
        s.setFontSize(16);
        DrawFittedText(s, 0, half, 100, SpreadChars(neighbour));
    }
    if (LineNeighbour(index, -1, &neighbour)) {
        s.setFontSize(16);
        DrawFittedText(s, half, half, 100, SpreadChars(neighbour));
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
