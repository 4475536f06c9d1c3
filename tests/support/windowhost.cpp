// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Compiled into every test program that has windows: the fake host's end of the program then
// hides them all, so that a modal window's exec() returns, as with the real host.
#include "fakehost.h"

#include <QApplication>
#include <QWidget>

namespace {

void hideAll()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        w->hide();
}

const bool installed = (FakeHost::hideWindows = hideAll, true);

} // namespace
