// SPDX-License-Identifier: GPL-3.0-or-later
// Figure 1: what the real program costs on Xvfb while a question waits for an answer.

#include "figures.h"
#include "xvfb.h"
#include "xwindowwatcher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <utility>

namespace bench {

namespace {

// A question's CPU is sampled from this long after its plate is drawn, for this long: clear of
// the drawing at its start and of the next question.
constexpr int kCpuSampleDelayMs = 1000;
constexpr int kCpuSampleMs = 5000;
constexpr int kIdleRuns = 5;

// CPU time (user and system, every thread) of a running process and of its main thread, in
// seconds, from the scheduler's own nanosecond counts.
std::pair<double, double> processCpu(qint64 pid)
{
    double all = 0.0;
    double main = 0.0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const double s = stat.readAll().split(' ').value(0).toDouble() / 1e9;
        all += s;
        if (tid.toLongLong() == pid)
            main = s;
    }
    return {all, main};
}

struct IdleRun
{
    double share = 0.0; // percent of one core, whole process
    double mainShare = 0.0;
};

// The real program on Xvfb plays a line at once (autoplay); after the log-on the start sound
// plays for 2 s and the first question waits 10 s for an answer that never comes. The CPU is
// sampled inside that question, clear of its plate.
IdleRun oneIdleRun(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& env, XWindowWatcher& x)
{
    QProcess child;
    QElapsedTimer clock;
    startProgram(child, clock, program, arguments, env, x);
    x.pressEnter(x.waitForWindow(QStringLiteral("Logon - Tabi Dori"), clock, child).first);
    QThread::msleep(2000 + kCpuSampleDelayMs + 1500);
    const auto [all0, main0] = processCpu(child.processId());
    const double t0 = nowMs();
    QThread::msleep(kCpuSampleMs);
    const auto [all1, main1] = processCpu(child.processId());
    const double seconds = (nowMs() - t0) / 1000.0;
    child.kill();
    child.waitForFinished(3000);
    return {100.0 * (all1 - all0) / seconds, 100.0 * (main1 - main0) / seconds};
}

} // namespace

void figureIdleCpu(std::vector<Row>& rows, const Setup& setup, const QString& line)
{
    QProcess xvfb;
    const QString display = startXvfb(xvfb);
    QTemporaryDir runtime;
    const QProcessEnvironment env = programEnvironment(display, runtime.path());
    progress(QStringLiteral("figure 1: the real program on Xvfb %1, %2 questions each way")
                 .arg(display)
                 .arg(kIdleRuns));
    const auto measure = [&](const QStringList& extra) {
        std::vector<double> all, main;
        XWindowWatcher x(display);
        for (int i = 0; i < kIdleRuns; ++i) {
            const IdleRun run
                = oneIdleRun(setup.program, QStringList {line, "/AP"} + extra, env, x);
            all.push_back(run.share);
            main.push_back(run.mainShare);
        }
        return std::pair {all, main};
    };
    const auto [silentAll, silentMain] = measure({QStringLiteral("/SO=0")});
    const auto [soundAll, soundMain] = measure({});
    stopXvfb(xvfb);

    const auto row = [](const QString& name, const std::vector<double>& all,
                        const std::vector<double>& main, const QString& how) {
        return Row {name, fixed(median(all), 3) + QStringLiteral(" %"), QStringLiteral("< 0.5 %"),
                    verdict(median(all) < 0.5),
                    how
                        + QStringLiteral("; median of %1 questions (range %2–%3 %), %4 s each; "
                                         "main thread %5 %")
                              .arg(all.size())
                              .arg(fixed(minOf(all), 3), fixed(maxOf(all), 3),
                                   fixed(kCpuSampleMs / 1000.0, 1), fixed(median(main), 3))};
    };
    const QString how = QStringLiteral("the real program on Xvfb, no window manager, "
                                       "dummy audio driver; /proc schedstat of every thread");
    rows.push_back(row(QStringLiteral("1a. CPU while a question waits, sound off"), silentAll,
                       silentMain, how + QStringLiteral(" (/SO=0)")));
    rows.push_back(row(QStringLiteral("1b. CPU while a question waits, sounds on"), soundAll,
                       soundMain, how + QStringLiteral(" (a tick every second)")));
}

} // namespace bench
