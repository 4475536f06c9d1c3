// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The machine the figures were measured on, printed before them.

#include "figures.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>

#include <QFile>

#include <cstdio>
#include <sys/utsname.h>
#include <thread>

namespace bench {

void printMachine(const Setup& setup)
{
    QString cpu = QStringLiteral("unknown");
    int logical = 0;
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray& line : info.readAll().split('\n')) {
            if (line.startsWith("processor"))
                ++logical;
            if (line.startsWith("model name") && cpu == QStringLiteral("unknown"))
                cpu = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
        }
    }
    utsname uts {};
    uname(&uts);
    SDL_version sdl {};
    SDL_GetVersion(&sdl);
    const SDL_version* mix = Mix_Linked_Version();
    const QByteArray driver = qgetenv("SDL_AUDIODRIVER");

    std::printf("## Machine\n\n");
    std::printf("- CPU: %s, %d logical cores (%u usable)\n", qPrintable(cpu), logical,
                std::thread::hardware_concurrency());
    std::printf("- Kernel: %s %s %s\n", uts.sysname, uts.release, uts.machine);
    std::printf("- Qt %s (built against %s), SDL %d.%d.%d, SDL_mixer %d.%d.%d\n", qVersion(),
                QT_VERSION_STR, sdl.major, sdl.minor, sdl.patch, mix->major, mix->minor,
                mix->patch);
    std::printf("- Build: %s; SDL_AUDIODRIVER=%s; QT_QPA_PLATFORM=%s\n", TABIDORI_BENCH_BUILD_TYPE,
                driver.isEmpty() ? "(unset)" : driver.constData(),
                qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("- Program timed at start-up: %s\n", qPrintable(setup.program));
    // Other work on the machine shows in every figure; the load says how much there was.
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("- Load average at the start (1, 5, 15 min): %s\n",
                    load.readAll().split(' ').mid(0, 3).join(", ").constData());
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace bench
