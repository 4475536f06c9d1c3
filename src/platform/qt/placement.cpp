// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace platform {

std::optional<QRect> CentredFrame(QRect frame, const QWidget* window, const QWidget* owner,
                                  Clamp clamp)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (owner)
        frame.moveCenter(owner->frameGeometry().center());
    else if (screen)
        frame.moveCenter(screen->availableGeometry().center());
    else
        return std::nullopt;
    if (clamp == Clamp::ToScreen && screen) {
        const QRect available = screen->availableGeometry();
        frame.moveLeft(std::max(available.left(),
                                std::min(frame.left(), available.right() + 1 - frame.width())));
        frame.moveTop(std::max(available.top(),
                               std::min(frame.top(), available.bottom() + 1 - frame.height())));
    }
    return frame;
}

} // namespace platform
