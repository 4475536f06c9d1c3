// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Figure 3: start-up of the real program under Xvfb, watched through MapNotify.

#include "figures.h"
#include "xvfb.h"
#include "xwindowwatcher.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace bench {

namespace {

constexpr int kStartupRuns = 10;

struct StartupRun
{
    double logonMs = 0.0;
    double enterMs = 0.0; // when the Enter key had reached the server
    double mainMs = 0.0;
    long residentKiB = 0;
};

StartupRun timeOneStartup(const QString& program, const QProcessEnvironment& env, XWindowWatcher& x)
{
    QProcess child;
    QElapsedTimer clock;
    startProgram(child, clock, program, {}, env, x);

    StartupRun run;
    const auto [logon, logonMs]
        = x.waitForWindow(QStringLiteral("Logon - Tabi Dori"), clock, child);
    run.logonMs = logonMs;
    // The password is filled in already: Enter on the log-on window logs on.
    x.pressEnter(logon);
    run.enterMs = double(clock.nsecsElapsed()) / 1e6;
    run.mainMs = x.waitForWindow(QStringLiteral("TabiDori"), clock, child).second;
    run.residentKiB = residentKiB(QStringLiteral("/proc/%1/statm").arg(child.processId()));

    child.terminate();
    if (!child.waitForFinished(3000)) {
        child.kill();
        child.waitForFinished(3000);
    }
    return run;
}

} // namespace

void figureStartup(std::vector<Row>& rows, const Setup& setup)
{
    if (!QFile::exists(setup.program))
        fail(QStringLiteral("no program at ") + setup.program);
    QProcess xvfb;
    const QString display = startXvfb(xvfb);
    QTemporaryDir runtime; // the child's XDG_RUNTIME_DIR, private to it
    const QProcessEnvironment env = programEnvironment(display, runtime.path());

    progress(QStringLiteral("figure 3: %1 starts on Xvfb %2").arg(kStartupRuns).arg(display));
    std::vector<double> logon, main, afterEnter, resident;
    {
        XWindowWatcher x(display);
        for (int i = 0; i < kStartupRuns; ++i) {
            const StartupRun run = timeOneStartup(setup.program, env, x);
            logon.push_back(run.logonMs);
            main.push_back(run.mainMs);
            afterEnter.push_back(run.mainMs - run.enterMs);
            resident.push_back(double(run.residentKiB));
        }
    }
    stopXvfb(xvfb);

    const auto range = [](const std::vector<double>& ms) {
        return QStringLiteral("median of %1 (range %2–%3 ms)")
            .arg(ms.size())
            .arg(fixed(minOf(ms), 0), fixed(maxOf(ms), 0));
    };
    rows.push_back({QStringLiteral("3a. Process start to main window shown (log-on at once)"),
                    fixed(median(main), 0) + QStringLiteral(" ms"), kNoTarget, kNoTarget,
                    range(main)
                        + QStringLiteral("; Xvfb, no window manager, dummy audio; Enter sent "
                                         "the moment the log-on window mapped; Enter to main "
                                         "window %1 ms; windows seen through MapNotify on a "
                                         "connection of the benchmark's own (no polling)")
                              .arg(fixed(median(afterEnter), 0))});
    rows.push_back({QStringLiteral("3b. Process start to log-on window shown"),
                    fixed(median(logon), 0) + QStringLiteral(" ms"), kNoTarget, kNoTarget,
                    range(logon)});
    rows.push_back({QStringLiteral("3c. Resident memory of the program when its main window "
                                   "appears"),
                    mib(long(median(resident))), kNoTarget, kNoTarget,
                    QStringLiteral("/proc/<pid>/statm of the real program on Xvfb, median")});
}

} // namespace bench
