// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station plate: what the game draws on picStationPlate before a game and for every
// question. The layout reads the loaded line and the game mode from the globals.

#include <QString>
#include <cstdint>

class PlateSurface;
class PlateWidget;

// Every character (UTF-16 code unit) followed by two blanks: "えき" becomes "え  き  ".
QString SpreadChars(const QString& text);

// Draws text at y centred in the columns left to left + span - 1, as it always was where it
// fits; one that would not is condensed to fit (never below half its width, then cut).
void DrawFittedText(PlateSurface& surface, int left, int span, int y, const QString& text);

// A station number (JY24) boxed in the space left of a name that starts at nameLeft; nothing
// when there is no number or the name leaves no room for it.
void DrawStationNumber(PlateSurface& surface, int nameLeft, const QString& number);

// The mode's name and the line's name, centred one above the other.
void DrawGameTitle(PlateWidget& pic);
void DrawGameTitle(PlateSurface& surface);

// The plate of station index (0 to 1000): its spread reading on top (not in 読み当て), its name,
// under the bar the next station's reading on the left (not in 駅当て) and the previous one's on
// the right, the bar with its arrow head pointing left and a white dot; the station's number left
// of its name when the line file gives one and the name leaves room. Lets pending window
// events run once while drawing.
void DrawStationPlate(PlateWidget& pic, std::int32_t index);
void DrawStationPlate(PlateSurface& surface, std::int32_t index);
