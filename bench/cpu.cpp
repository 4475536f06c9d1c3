// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Figure 1: what the real program costs on Xvfb while a question waits for an answer, set
// against a bare Qt window that shows a clock the same way.
//
// An absolute share of a core is a poor figure on a shared machine: the same build's share
// moves by a fifth or more from one run to the next with the other work on it, and a bare Qt
// window already costs most of that on an X server. So the game and the baseline window take
// turns on one Xvfb, each sampled over the same length of time, and the figure is their ratio.

#include "figures.h"
#include "history.h"
#include "sdlmixer.h"
#include "xvfb.h"
#include "xwindowwatcher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <array>
#include <functional>

namespace bench {

namespace {

// Rounds of the three runs (game with sound, game without, baseline); every round changes
// which goes first, so that a machine growing busier or quieter favours none of them.
constexpr int kCpuRounds = 7;
// Samples as long as a question allows: the longer, the less a burst of other work on the
// machine weighs in one of them.
constexpr int kCpuSampleMs = 7000;
// From the main window's appearance: the start sound (2 s), then 1.5 s into the first
// question, clear of its plate. The question runs 10.1 s, so the sample ends 1.6 s before it.
constexpr int kGameSettleMs = 2000 + 1500;
// The baseline has nothing to draw after its first frame.
constexpr int kBaselineSettleMs = 1500;
// Between games (a line loaded, no game): the log-on's sound, then the audio device's rest
// after its last sound, and a margin for the close itself.
constexpr int kIdleSettleMs = 2000 + audio::kRestAfterMs + 1000;
constexpr double kRatioTarget = 1.10;

const QString kBaselineTitle = QStringLiteral("Tabidori CPU baseline");

// CPU time (user and system) of a running process in seconds, from the scheduler's own
// nanosecond counts: the first field of each thread's schedstat. Clock ticks (/proc/PID/stat)
// are 10 ms each, too coarse for a few milliseconds a second.
struct ProcessCpu
{
    double all = 0.0; // every thread
    double main = 0.0; // the main thread
    double audio = 0.0; // SDL's audio threads ("SDLAudioP2" and the like)
};

ProcessCpu processCpu(qint64 pid)
{
    ProcessCpu cpu;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const double s = stat.readAll().split(' ').value(0).toDouble() / 1e9;
        cpu.all += s;
        if (tid.toLongLong() == pid)
            cpu.main = s;
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().startsWith("SDLAudio"))
            cpu.audio += s;
    }
    return cpu;
}

struct CpuSample
{
    // Percent of one core.
    double share = 0.0; // whole process
    double mainShare = 0.0; // main thread
    double audioShare = 0.0; // SDL's audio thread
};

// Samples child for kCpuSampleMs once window has had the input focus for settleMs. The
// window must still have the focus at the end: a window without it has no cursor blinking
// and would look cheaper than it is.
CpuSample sampleWindow(QProcess& child, xcb_window_t window, int settleMs, XWindowWatcher& x,
                       const QString& what)
{
    QThread::msleep(settleMs);
    if (x.focusedWindow() != window)
        fail(what + QStringLiteral(" does not have the input focus"));
    const ProcessCpu before = processCpu(child.processId());
    const double t0 = nowMs();
    QThread::msleep(kCpuSampleMs);
    const ProcessCpu after = processCpu(child.processId());
    const double seconds = (nowMs() - t0) / 1000.0;
    if (child.state() != QProcess::Running)
        fail(what + QStringLiteral(" ended while it was sampled"));
    if (x.focusedWindow() != window)
        fail(what + QStringLiteral(" lost the input focus while it was sampled"));
    child.kill();
    child.waitForFinished(3000);
    const double percent = 100.0 / seconds;
    return {(after.all - before.all) * percent, (after.main - before.main) * percent,
            (after.audio - before.audio) * percent};
}

// The real program plays a line at once (autoplay); after the log-on the start sound plays
// and the first question waits 10 s for an answer that never comes, its answer box focused.
CpuSample sampleGame(const Setup& setup, const QStringList& arguments,
                     const QProcessEnvironment& env, XWindowWatcher& x,
                     int settleMs = kGameSettleMs)
{
    // A history of its own: a game is written into it when it ends or is stopped, and at no
    // other time without a player, so a game in it means the sample missed the question.
    QTemporaryDir dataHome;
    QProcessEnvironment ownEnv = env;
    ownEnv.insert(QStringLiteral("XDG_DATA_HOME"), dataHome.path());
    QProcess child;
    QElapsedTimer clock;
    startProgram(child, clock, setup.program, arguments, ownEnv, x);
    x.pressEnter(x.waitForWindow(QStringLiteral("Logon - Tabi Dori"), clock, child).first);
    const xcb_window_t main = x.waitForWindow(QStringLiteral("TabiDori"), clock, child).first;
    const CpuSample sample = sampleWindow(child, main, settleMs, x, QStringLiteral("the game"));
    // The history is opened as the window appears; a game in it means the sample was late.
    History history;
    if (history.open(dataHome.filePath(QStringLiteral("tabidori"))) == History::Opened::Ok
        && history.gameCount() > 0)
        fail(QStringLiteral("the game ended or was stopped before its sample was over"));
    return sample;
}

// The baseline gets the input focus the way the game's log-on window does: from outside,
// there being no window manager to give it.
CpuSample sampleBaseline(const Setup& setup, const QProcessEnvironment& env, XWindowWatcher& x)
{
    QProcess child;
    QElapsedTimer clock;
    startProgram(child, clock, setup.baseline, {}, env, x);
    const xcb_window_t window = x.waitForWindow(kBaselineTitle, clock, child).first;
    x.focus(window);
    return sampleWindow(child, window, kBaselineSettleMs, x, QStringLiteral("the baseline"));
}

struct Series
{
    std::vector<double> all;
    std::vector<double> main;
    std::vector<double> audio;

    void add(const CpuSample& s)
    {
        all.push_back(s.share);
        main.push_back(s.mainShare);
        audio.push_back(s.audioShare);
    }
};

std::vector<double> ratios(const Series& game, const Series& baseline)
{
    std::vector<double> out;
    for (std::size_t i = 0; i < game.all.size() && i < baseline.all.size(); ++i)
        out.push_back(baseline.all[i] > 0.0 ? game.all[i] / baseline.all[i] : 0.0);
    return out;
}

QString share(const Series& s)
{
    return fixed(median(s.all), 3) + QStringLiteral(" %");
}

QString spread(const Series& s)
{
    QString text
        = QStringLiteral("median of %1 runs (range %2–%3 %), main thread %4 %")
              .arg(s.all.size())
              .arg(fixed(minOf(s.all), 3), fixed(maxOf(s.all), 3), fixed(median(s.main), 3));
    if (maxOf(s.audio) > 0.0)
        text += QStringLiteral(", SDL audio thread %1 %").arg(fixed(median(s.audio), 3));
    return text;
}

} // namespace

void figureIdleCpu(std::vector<Row>& rows, const Setup& setup, const QString& line)
{
    for (const QString& path : {setup.program, setup.baseline}) {
        if (!QFile::exists(path))
            fail(QStringLiteral("no program at ") + path);
    }
    QProcess xvfb;
    const QString display = startXvfb(xvfb);
    QTemporaryDir runtime;
    const QProcessEnvironment env = programEnvironment(display, runtime.path());
    progress(QStringLiteral("figure 1: the game (with and without sound) and the baseline window "
                            "in turn on Xvfb %1, %2 rounds, about %3 s")
                 .arg(display)
                 .arg(kCpuRounds)
                 .arg(kCpuRounds
                      * (2 * (kGameSettleMs + kCpuSampleMs) + kBaselineSettleMs + kIdleSettleMs
                         + 2 * kCpuSampleMs)
                      / 1000));

    Series sounding, silent, idle, baseline;
    {
        XWindowWatcher x(display);
        const QStringList play {line, QStringLiteral("/AP")};
        const std::array<std::function<void()>, 4> runs {
            [&] { sounding.add(sampleGame(setup, play, env, x)); },
            [&] { silent.add(sampleGame(setup, play + QStringList {"/SO=0"}, env, x)); },
            [&] { baseline.add(sampleBaseline(setup, env, x)); },
            [&] { idle.add(sampleGame(setup, {line}, env, x, kIdleSettleMs)); },
        };
        for (int round = 0; round < kCpuRounds; ++round) {
            for (std::size_t k = 0; k < runs.size(); ++k)
                runs[(round + k) % runs.size()]();
        }
    }
    stopXvfb(xvfb);

    const std::vector<double> soundRatio = ratios(sounding, baseline);
    const std::vector<double> silentRatio = ratios(silent, baseline);
    const std::vector<double> idleRatio = ratios(idle, baseline);
    const double ratio = median(soundRatio);
    const QString conditions
        = QStringLiteral(
              "Xvfb 1280×1024, no window manager, SDL_AUDIODRIVER=dummy (SDL's mixer thread runs); "
              "/proc/PID/task/*/schedstat, %1 s per run, window focused")
              .arg(fixed(kCpuSampleMs / 1000.0, 1));
    rows.push_back({QStringLiteral("1a. CPU of the game while a question waits, sound on"),
                    share(sounding), kNoTarget, kNoTarget,
                    spread(sounding)
                        + QStringLiteral("; the real program, a line on autoplay, the first "
                                         "question unanswered, sec.wav every second; ")
                        + conditions});
    rows.push_back({QStringLiteral("1b. CPU of the baseline window"), share(baseline), kNoTarget,
                    kNoTarget,
                    spread(baseline)
                        + QStringLiteral("; a bare Qt window of 550 × 223, a focused empty "
                                         "QLineEdit and a QLabel changed every 100 ms "
                                         "(bench/baseline.cpp), on the same Xvfb")});
    rows.push_back({QStringLiteral("1c. Game ÷ baseline, sound on"), fixed(ratio, 2) + u'×',
                    QStringLiteral("≤ %1×").arg(fixed(kRatioTarget, 2)),
                    verdict(ratio <= kRatioTarget),
                    QStringLiteral("median of %1 ratios, each a game run over the baseline run "
                                   "of its round (range %2–%3×); the runs take turns")
                        .arg(soundRatio.size())
                        .arg(fixed(minOf(soundRatio), 2), fixed(maxOf(soundRatio), 2))});
    rows.push_back({QStringLiteral("1d. The same, sound off (/SO=0)"),
                    fixed(median(silentRatio), 2) + QStringLiteral("× (%1)").arg(share(silent)),
                    QStringLiteral("≤ %1×").arg(fixed(kRatioTarget, 2)),
                    verdict(median(silentRatio) <= kRatioTarget),
                    QStringLiteral("ratios range %1–%2×; game ")
                            .arg(fixed(minOf(silentRatio), 2), fixed(maxOf(silentRatio), 2))
                        + spread(silent)});
    rows.push_back({QStringLiteral("1e. The same, between games, sound on"),
                    fixed(median(idleRatio), 2) + QStringLiteral("× (%1)").arg(share(idle)),
                    QStringLiteral("≤ %1×").arg(fixed(kRatioTarget, 2)),
                    verdict(median(idleRatio) <= kRatioTarget),
                    QStringLiteral("a line loaded and no game, sampled %1 s after the log-on "
                                   "(the audio device rests %2 s after its last sound); "
                                   "ratios range %3–%4×; ")
                            .arg(fixed(kIdleSettleMs / 1000.0, 1))
                            .arg(fixed(audio::kRestAfterMs / 1000.0, 1))
                            .arg(fixed(minOf(idleRatio), 2), fixed(maxOf(idleRatio), 2))
                        + spread(idle)});
}

} // namespace bench
