// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fonts and text colours of the information windows. Font sizes are given in points at 96 dots
// per inch and set in pixels, so that the text keeps its size against the twip geometry (15
// twips a pixel) whatever resolution the screen reports.

#include "fonts.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>
#include <cmath>

namespace info {

inline QFont gothicFont(double points, bool bold = false, bool underline = false)
{
    QFont font(QString::fromUtf8(platform::kProportionalGothic));
    font.setPixelSize(int(std::lround(points * 96.0 / 72.0)));
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

// Sets the colour a label draws its text in.
inline void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace info
