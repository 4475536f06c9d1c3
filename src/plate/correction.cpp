// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "correction.h"
#include "plate.h"
#include "platesurface.h"
#include "platewidget.h"
#include "stationtable.h"

namespace {

int centred(PlateSurface& s, int left, int span, const QString& text)
{
    return left + (span - s.textWidth(text)) / 2;
}

} // namespace

void DrawCorrectionPlate(PlateWidget& pic, std::int32_t asked, const QString& typed, bool timedOut)
{
    DrawCorrectionPlate(pic.surface(), asked, typed, timedOut);
}

void DrawCorrectionPlate(PlateSurface& s, std::int32_t asked, const QString& typed, bool timedOut)
{
    s.clear();
    if (asked < 0 || asked >= kStationTableSize)
        return;
    const StationRecord& station = StationTable[std::size_t(asked)];
    const int w = s.width();
    const int half = w / 2;

    s.setFontSize(9);
    s.drawText(4, 2, QStringLiteral("正しい読み"));

    // The reading a size larger than on a question's plate: it is what is to be learnt.
    const QString reading = SpreadChars(station.Reading);
    s.setFontSize(16);
    s.drawText(centred(s, 0, w, reading), 4, reading);

    const QString name = SpreadChars(station.StationName);
    s.setFontSize(30);
    s.drawText(centred(s, 0, w, name), 28, name);

    const QString said = timedOut
        ? QStringLiteral("時間切れ")
        : QStringLiteral("入力: ") + (typed.isEmpty() ? QStringLiteral("（なし）") : typed);
    s.setFontSize(14);
    s.drawText(centred(s, 0, half, said), 100, said);
    const QString next = QStringLiteral("Enter で次へ");
    s.setFontSize(10);
    s.drawText(half + centred(s, 0, half, next), 104, next);

    // The bar in red, without the arrow: this plate is no station on the way.
    const QColor red = QColor::fromRgb(kCorrectionColour);
    s.filledBox(QPoint(0, 74), QPoint(w, 90), red);
}
