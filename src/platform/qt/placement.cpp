// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "placement.h"
#include <QStyle>

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

void PlaceOnScreen(QWidget* window, QPoint designed)
{
    const QScreen* screen = QGuiApplication::screenAt(designed);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        window->move(designed);
        return;
    }
    const int border = window->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize frame = window->sizeHint() + QSize(2 * border, title + 2 * border);
    const QRect available = screen->availableGeometry();
    const int x
        = std::max(available.left(), std::min(designed.x(), available.right() + 1 - frame.width()));
    const int y = std::max(available.top(),
                           std::min(designed.y(), available.bottom() + 1 - frame.height()));
    window->move(x, y);
}

} // namespace platform
