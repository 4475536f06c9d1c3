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

} // namespace platform
