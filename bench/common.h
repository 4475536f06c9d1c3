// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every figure of the benchmark shares: the run's settings, the clock, the statistics,
// the table the figures end up in, and the made-up line files the program is given.

#include "stationtable.h"

#include <QElapsedTimer>
#include <QSet>
#include <QString>

#include <vector>

#ifndef TABIDORI_BENCH_BUILD_DIR
#define TABIDORI_BENCH_BUILD_DIR ""
#endif
#ifndef TABIDORI_BENCH_PROGRAM
#define TABIDORI_BENCH_PROGRAM ""
#endif
#ifndef TABIDORI_BENCH_BASELINE
#define TABIDORI_BENCH_BASELINE ""
#endif
#ifndef TABIDORI_BENCH_BUILD_TYPE
#define TABIDORI_BENCH_BUILD_TYPE ""
#endif

namespace bench {

// The line the game and start-up figures play, and the long one the data figures read.
inline constexpr int kFullGameStations = 30;
inline constexpr int kBigLineStations = kStationTableSize;

struct Setup
{
    bool full = false;
    QSet<int> only; // empty: every figure
    QString program;
    QString baseline; // the bare Qt window the game's CPU is measured against
    QString buildDir;
    QString library; // the line library of figures 8 and 9 ("": the build folder's "line")
    bool doubled = false; // that library twice over (doubleLibrary)

    bool wants(int figure) const { return only.isEmpty() || only.contains(figure); }
};

[[noreturn]] void fail(const QString& why);

// The library twice over, in folder/doubled/line: every line file as it is and again as
// "<name>-2.txt", its line's name marked kCopyMark in front (a key of its own), and the track
// file beside it. Returns the new library folder.
inline constexpr char kCopyMark[] = "2-";
QString doubleLibrary(const Setup& setup, const QString& folder);
QString libraryOf(const Setup& setup);
void progress(const QString& what);

// ---- Clocks and counters

// One monotonic clock for the whole process, started first thing in main; the audio thread
// reads it too.
extern QElapsedTimer gClock;
double nowMs();

long peakResidentKiB();
// The resident set from a statm file ("/proc/self/statm" or "/proc/<pid>/statm"), in KiB.
long residentKiB(const QString& statmPath);

double median(std::vector<double> values);
double minOf(const std::vector<double>& v);
double maxOf(const std::vector<double>& v);
QString fixed(double value, int decimals);
QString mib(long kib);

template<typename F> std::vector<double> timeRuns(int runs, F&& work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const double start = nowMs();
        work();
        ms.push_back(nowMs() - start);
    }
    return ms;
}

// ---- The table

struct Row
{
    QString figure;
    QString measured;
    QString target;
    QString met; // "yes", "no", or "—" where there is no target
    QString notes;
};

QString verdict(bool met);
extern const QString kNoTarget;
void printTable(const std::vector<Row>& rows);

// ---- Files

// Writes a made-up line of `stations` stations into folder as the tests write line files (CP932,
// CR LF breaks); returns its path.
QString writeLineFile(const QString& folder, int stations);

// Length of a PCM wave file in seconds, from its header and data size.
double waveSeconds(const QString& path);

// The build's "sound" folder; fails when the sounds were not built.
QString soundFolderOf(const Setup& setup);

} // namespace bench
