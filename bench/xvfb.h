// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real program on an X server of the benchmark's own: the Xvfb, the environment the
// program is started in, and its start.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class QElapsedTimer;
class QProcess;

namespace bench {

class XWindowWatcher;

// An Xvfb on a display nobody uses; it names the display it took once it accepts clients.
QString startXvfb(QProcess& xvfb);
void stopXvfb(QProcess& xvfb);

// The program's environment on that display: X rather than offscreen, the dummy audio driver
// (it still runs SDL's mixer thread) and runtimeDir as its private XDG_RUNTIME_DIR.
QProcessEnvironment programEnvironment(const QString& display, const QString& runtimeDir);

// Starts the real program silently, the clock running from the moment it is asked to start.
void startProgram(QProcess& child, QElapsedTimer& clock, const QString& program,
                  const QStringList& arguments, const QProcessEnvironment& env, XWindowWatcher& x);

} // namespace bench
