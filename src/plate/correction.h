// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plate after a miss: the asked station with its right reading, marked as the correction by
// a red bar and a label, and what was typed under the bar.

#include <QString>
#include <cstdint>

class PlateSurface;
class PlateWidget;

// Colour of the bar that marks the plate as the correction.
inline constexpr unsigned kCorrectionColour = 0xFFC00000;

// asked is the table index of the station whose reading was asked (in 駅当て the next
// station's); typed is what the player had typed, after a time-out what the box showed. retype:
// the player is to type the reading once (打ち直し), rather than go on with Enter.
void DrawCorrectionPlate(PlateWidget& pic, std::int32_t asked, const QString& typed, bool timedOut,
                         bool retype = false);
void DrawCorrectionPlate(PlateSurface& surface, std::int32_t asked, const QString& typed,
                         bool timedOut, bool retype = false);
