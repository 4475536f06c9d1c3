// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window geometry is designed in twips (1/1440 inch); at 96 dots per inch 15 twips are one
// pixel. Designs keep their numbers in twips and convert here, in one place.

#include <QRect>
#include <QSize>
#include <cmath>

namespace twips {

inline constexpr int kPerPixel = 15;

inline int toPx(double twips)
{
    return int(std::lround(twips / kPerPixel));
}
inline int fromPx(int px)
{
    return px * kPerPixel;
}
inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPx(left), toPx(top), toPx(width), toPx(height));
}
inline QSize size(int width, int height)
{
    return QSize(toPx(width), toPx(height));
}

} // namespace twips
