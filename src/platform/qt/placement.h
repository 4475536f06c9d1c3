// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

#include <optional>

class QWidget;

namespace platform {

enum class Clamp { None, ToScreen };

// Where a window's frame `frame` stands centred: over the frame of `owner` when there is one,
// else over the available area of the window's screen (the primary screen before it is on one).
// With Clamp::ToScreen it is then moved wholly onto that area, its top left corner first.
// Nothing when there is neither an owner nor a screen to centre on.
std::optional<QRect> CentredFrame(QRect frame, const QWidget* window, const QWidget* owner,
                                  Clamp clamp = Clamp::None);

// Moves the window to `designed`, kept wholly inside the available area of the screen it lands
// on; a window larger than the screen keeps its top left corner on it. The window system frames
// the window only once it shows, so the style's title bar and border stand in for the frame.
void PlaceOnScreen(QWidget* window, QPoint designed);

} // namespace platform
