// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Figure 10: the spoken readings. From the moment a reading is asked for (the correction plate)
// to its first audio frame, cold (a line not in the cache, its readings being made in the
// background) and from the cache; what making them costs; what the program costs at rest
// before and after. Figure 11: every reading of the line library made once: how many from the
// name, how many from the reading, and the cache's size.

#include "figures.h"
#include "harness.h"
#include "linefile.h"
#include "mixer.h"
#include "sound.h"
#include "speaker.h"
#include "textfile.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <atomic>
#include <limits>
#include <set>

namespace bench {

namespace {

constexpr int kRuns = 30;
// The start sound plays for 2 s before the first question: the background has that long.
constexpr int kStartSoundMs = 2000;

std::atomic<qint64> gAskedNs {-1};
std::atomic<qint64> gHeardNs {-1};

void noteFirstSound(void*, Uint8* stream, int len)
{
    if (gAskedNs.load() < 0 || gHeardNs.load() >= 0)
        return;
    for (int i = 0; i < len; ++i) {
        if (stream[i] != 0) {
            gHeardNs.store(gClock.nsecsElapsed());
            return;
        }
    }
}

double cpuSeconds(int who)
{
    rusage u {};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

QList<speech::Reading> readingsOf(const QString& path)
{
    TextFile file;
    if (!file.open(path))
        fail(QStringLiteral("cannot read ") + path);
    QList<speech::Reading> out;
    for (const LineFileStation& st : ParseLineFile(file).stations)
        out.append({st.fields[0], st.fields[1]});
    return out;
}

speech::VoiceSetup voiceIn(const Setup& setup, const QString& cache)
{
    speech::VoiceSetup s = speech::DefaultSetup();
    s.voice = setup.buildDir + QStringLiteral("/voice/tohoku-f01-neutral.htsvoice");
    s.cacheFolder = cache;
    if (const QString why = speech::Unavailable(s); !why.isEmpty())
        fail(why);
    return s;
}

// Asks for r and waits for its first frame out of the mixer; ms.
double askAndHear(BenchHost& host, speech::Speaker& speaker, const speech::Reading& r)
{
    gHeardNs.store(-1);
    gAskedNs.store(gClock.nsecsElapsed());
    speaker.say(r);
    QElapsedTimer waited;
    waited.start();
    while (gHeardNs.load() < 0 && waited.elapsed() < 10000)
        host.waitForEvents(1);
    if (gHeardNs.load() < 0)
        fail(QStringLiteral("the reading of %1 never left the mixer").arg(r.name));
    const double ms = double(gHeardNs.load() - gAskedNs.load()) / 1e6;
    gAskedNs.store(-1);
    while (audio::mixer().speaking())
        host.waitForEvents(5);
    return ms;
}

QString spread(const std::vector<double>& v, const QString& unit)
{
    return QStringLiteral("median %1 %3, worst %2 %3 of %4")
        .arg(fixed(median(v), 1), fixed(maxOf(v), 1), unit)
        .arg(v.size());
}

} // namespace

void figureSpeech(std::vector<Row>& rows, const Setup& setup)
{
    BenchHost host(setup.buildDir);
    ScopedHost use(&host);
    ResetSound();
    SetSound();
    Mix_SetPostMix(noteFirstSound, nullptr);
    const QString lineFile = setup.buildDir + QStringLiteral("/line/kanto/JR山手線.txt");
    const QList<speech::Reading> line = readingsOf(lineFile);

    // At rest before any reading: the process's CPU over 10 s of waiting.
    const auto restCpu = [&host] {
        const double before = cpuSeconds(RUSAGE_SELF);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000)
            host.waitForEvents(100);
        return (cpuSeconds(RUSAGE_SELF) - before) / 10.0 * 100.0;
    };
    const double restBefore = restCpu();

    // Cold: a fresh cache each time; the line's readings start being made as it loads, the
    // start sound plays, then the k-th station is missed.
    std::vector<double> cold;
    double childCpu = 0;
    double childWall = 0;
    double ownCpu = 0;
    for (int run = 0; run < kRuns; ++run) {
        QTemporaryDir cache;
        speech::Speaker speaker(voiceIn(setup, cache.path()));
        const double children = cpuSeconds(RUSAGE_CHILDREN);
        const double own = cpuSeconds(RUSAGE_SELF);
        QElapsedTimer wall;
        wall.start();
        speaker.prepare(line);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < kStartSoundMs)
            host.waitForEvents(10);
        cold.push_back(askAndHear(host, speaker, line[(run * 7) % line.size()]));
        while (speaker.working())
            host.waitForEvents(10);
        childCpu += cpuSeconds(RUSAGE_CHILDREN) - children;
        ownCpu += cpuSeconds(RUSAGE_SELF) - own;
        childWall += double(wall.elapsed()) / 1000.0;
    }
    // The worst of cold: nothing made yet and nothing queued.
    std::vector<double> bare;
    for (int run = 0; run < 10; ++run) {
        QTemporaryDir cache;
        speech::Speaker speaker(voiceIn(setup, cache.path()));
        bare.push_back(askAndHear(host, speaker, line[(run * 11) % line.size()]));
    }
    // From the cache.
    QTemporaryDir cache;
    speech::Speaker speaker(voiceIn(setup, cache.path()));
    speaker.prepare(line);
    while (speaker.working())
        host.waitForEvents(10);
    std::vector<double> cached;
    for (int run = 0; run < kRuns; ++run)
        cached.push_back(askAndHear(host, speaker, line[run % line.size()]));
    qint64 lineBytes = 0;
    for (const speech::Reading& r : line)
        lineBytes += QFileInfo(speaker.pathOf(r)).size();
    const double restAfter = restCpu();
    Mix_SetPostMix(nullptr, nullptr);
    ResetSound();

    const QString notes = QStringLiteral("JR山手線 (%1 stations); real SDL mixer, %2 driver; "
                                         "first non-silent mixed frame (Mix_SetPostMix)")
                              .arg(line.size())
                              .arg(QString::fromLatin1(SDL_GetCurrentAudioDriver()));
    rows.push_back({QStringLiteral("10a. Reading of a line not in the cache: asked 2 s after "
                                   "the line loaded (the start sound) to its first audio frame"),
                    spread(cold, QStringLiteral("ms")), QStringLiteral("< 300 ms"),
                    verdict(maxOf(cold) < 300.0), notes});
    rows.push_back({QStringLiteral("10b. The same with nothing made or queued before"),
                    spread(bare, QStringLiteral("ms")), kNoTarget, kNoTarget,
                    QStringLiteral("open_jtalk run once or twice for the one reading")});
    rows.push_back({QStringLiteral("10c. Reading from the cache to its first audio frame"),
                    spread(cached, QStringLiteral("ms")), QStringLiteral("< 20 ms"),
                    verdict(median(cached) < 20.0), notes});
    rows.push_back(
        {QStringLiteral("10d. Making a line's readings in the background"),
         QStringLiteral("%1 s for %2 readings; open_jtalk %3 % of one core, the game %4 %")
             .arg(fixed(childWall / kRuns, 2))
             .arg(line.size())
             .arg(fixed(childCpu / childWall * 100.0, 0), fixed(ownCpu / childWall * 100.0, 1)),
         kNoTarget, kNoTarget,
         QStringLiteral("mean of %1 lines; one process at a time at nice 10; %2 KB of cache "
                        "for the line")
             .arg(kRuns)
             .arg(lineBytes / 1000)});
    rows.push_back(
        {QStringLiteral("10e. The process at rest (10 s), before any reading and "
                        "after the queue is done"),
         QStringLiteral("%1 % and %2 % of one core").arg(fixed(restBefore, 2), fixed(restAfter, 2)),
         QStringLiteral("unchanged"), verdict(restAfter < restBefore + 0.2),
         QStringLiteral("no timer or process is left once the readings are made")});
}

void figureSpeechLibrary(std::vector<Row>& rows, const Setup& setup)
{
    const QString folder
        = setup.library.isEmpty() ? setup.buildDir + QStringLiteral("/line") : setup.library;
    std::set<std::pair<QString, QString>> all;
    QDirIterator files(folder, {QStringLiteral("*.txt")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        for (const speech::Reading& r : readingsOf(files.next()))
            all.insert({r.name, r.reading});
    }
    QList<speech::Reading> readings;
    for (const auto& [name, reading] : all)
        readings.append({name, reading});
    BenchHost host(setup.buildDir);
    ScopedHost use(&host);
    QTemporaryDir cache;
    speech::VoiceSetup voice = voiceIn(setup, cache.path());
    voice.cacheLimit = std::numeric_limits<qint64>::max();
    speech::Speaker speaker(voice);
    int fromName = 0;
    int made = 0;
    QObject::connect(
        &speaker, &speech::Speaker::made, [&](const QString&, bool name, const QString&) {
            ++made;
            fromName += name ? 1 : 0;
            if (made % 500 == 0)
                progress(QStringLiteral("figure 11: %1 of %2").arg(made).arg(readings.size()));
        });
    QElapsedTimer wall;
    wall.start();
    speaker.prepare(readings);
    while (speaker.working())
        host.waitForEvents(50);
    qint64 bytes = 0;
    for (const QFileInfo& f : QDir(cache.path()).entryInfoList({QStringLiteral("*.wav")}))
        bytes += f.size();
    rows.push_back(
        {QStringLiteral("11. Every reading of the library made once"),
         QStringLiteral("%1 stations: %2 from the name, %3 from the reading; %4 MB of cache "
                        "(%5 KB a reading)")
             .arg(readings.size())
             .arg(fromName)
             .arg(made - fromName)
             .arg(fixed(double(bytes) / 1e6, 0))
             .arg(fixed(double(bytes) / 1e3 / std::max(1, made), 0)),
         QStringLiteral("within the 100 MB limit for a learner's lines"), kNoTarget,
         QStringLiteral("%1 different name and reading pairs; %2 min; %3 not made")
             .arg(readings.size())
             .arg(fixed(double(wall.elapsed()) / 60000.0, 1))
             .arg(readings.size() - made)});
}

} // namespace bench
