// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Start-up: log-on, then the splash window in front of the main window, which loads (and may
// autoplay a game) before the splash is first shown.

#include <QStringList>

// Runs the start-up and returns the exit status when the program should end without entering
// the event loop, or -1 when the main window lives on and the event loop should run.
int Main(const QStringList& arguments);
