// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "correction.h"
#include "plate.h"
#include "platesurface.h"
#include "platewidget.h"
#include "stationtable.h"

void DrawCorrectionPlate(PlateWidget& pic, std::int32_t asked, const QString& typed, bool timedOut,
                         bool retype)
{
    DrawCorrectionPlate(pic.surface(), asked, typed, timedOut, retype);
}

void DrawCorrectionPlate(PlateSurface& s, std::int32_t asked, const QString& typed, bool timedOut,
                         bool retype)
{
    s.clear();
    if (asked < 0 || asked >= kStationTableSize)
        return;
    const StationRecord& station = StationTable[std::size_t(asked)];
    const int w = s.width();
    const int half = w / 2;

    const QString label = QStringLiteral("正しい読み");
    s.setFontSize(9);
    s.drawText(4, 2, label);
    // The reading keeps clear of the label on both sides, so that it stays centred.
    const int margin = 8 + s.textWidth(label);

    // The reading a size larger than on a question's plate: it is what is to be learnt.
    const QString reading = SpreadChars(station.Reading);
    s.setFontSize(16);
    DrawFittedText(s, margin, w - 2 * margin, 4, reading);

    const QString name = SpreadChars(station.StationName);
    s.setFontSize(30);
    DrawFittedText(s, 0, w, 28, name);

    const QString input
        = QStringLiteral("入力: ") + (typed.isEmpty() ? QStringLiteral("（なし）") : typed);
    const QString said = !timedOut ? input
        : typed.isEmpty()          ? QStringLiteral("時間切れ")
                                   : QStringLiteral("時間切れ　") + input;
    s.setFontSize(14);
    DrawFittedText(s, 0, half, 100, said);
    const QString next
        = retype ? QStringLiteral("この読みを打って Enter") : QStringLiteral("Enter で次へ");
    s.setFontSize(10);
    DrawFittedText(s, half, half, 104, next);

    // The bar in red, without the arrow: this plate is no station on the way.
    const QColor red = QColor::fromRgb(kCorrectionColour);
    s.filledBox(QPoint(0, 74), QPoint(w, 90), red);
}
