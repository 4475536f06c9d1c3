// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Figure 6: resident memory after start-up and after a 1001-station game.

#include "figures.h"
#include "harness.h"
#include "stationtable.h"

#include <QCoreApplication>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace bench {

// Runs in a process of its own so that the other figures leave nothing behind in its memory:
// the main window loads, then a 1001-station game is played on a virtual clock, every question
// answered right at once. Prints key=value lines for the parent.
int memoryChild(const Setup& setup)
{
    QTemporaryDir work;
    const QString line = writeLineFile(work.path(), kBigLineStations);
    // The tests' virtual clock: each wait passes at once.
    FakeHost host;
    host.folder = setup.buildDir;
    host.onMessage = [](const FakeHost::Message& m) {
        fail(QStringLiteral("unexpected message box: ") + m.text);
    };
    TestWindow w;
    w.Form_Load(QString());
    settleEvents();
    const long startup = residentKiB(QStringLiteral("/proc/self/statm"));

    host.dialogAnswer = line;
    w.mnuLine_Click();
    if (gStationCount != kBigLineStations)
        fail(QStringLiteral("the big line did not load"));
    Player player(host, w);
    player.answerTick = 1; // every question answered right at its first tick
    ScoreWatcher score;
    const double startMs = nowMs();
    w.mnuGameStart_Click();
    const double gameMs = nowMs() - startMs;
    settleEvents();
    const long after = residentKiB(QStringLiteral("/proc/self/statm"));

    std::printf("startup_kib=%ld\n", startup);
    std::printf("after_game_kib=%ld\n", after);
    // The kernel refreshes the high-water mark lazily: it may lag behind the current figure.
    std::printf("peak_kib=%ld\n", std::max({peakResidentKiB(), startup, after}));
    std::printf("game_ms=%.0f\n", gameMs);
    std::printf("right=%d\n", GetOKcount());
    std::printf("score_windows=%d\n", score.opened);
    std::fflush(stdout);
    return 0;
}

void figureMemory(std::vector<Row>& rows, const Setup& setup)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--memory-child"), QStringLiteral("--build-dir"), setup.buildDir});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        fail(QStringLiteral("the memory run failed"));
    QMap<QString, long> values;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            values.insert(QString::fromLatin1(line.left(eq)), line.mid(eq + 1).toLong());
    }
    if (values.value(QStringLiteral("right")) != kBigLineStations
        || values.value(QStringLiteral("score_windows")) != 1)
        fail(QStringLiteral("the 1001-station game did not run as planned"));

    rows.push_back({QStringLiteral("6a. Resident memory after start-up (main window loaded)"),
                    mib(values.value(QStringLiteral("startup_kib"))), kNoTarget, kNoTarget,
                    QStringLiteral("/proc/self/statm in a fresh process: frmMain loaded, sounds "
                                   "loaded, no line; offscreen")});
    rows.push_back({QStringLiteral("6b. Resident memory after a 1001-station game"),
                    mib(values.value(QStringLiteral("after_game_kib"))), kNoTarget, kNoTarget,
                    QStringLiteral("every question answered at once on a virtual clock "
                                   "(%1 s real), score window opened and closed; peak %2")
                        .arg(fixed(values.value(QStringLiteral("game_ms")) / 1000.0, 1),
                             mib(values.value(QStringLiteral("peak_kib"))))});
}

} // namespace bench
