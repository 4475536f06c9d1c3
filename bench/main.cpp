// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark of Tabidori: what the program costs while a question waits, how true its
// question clock runs, how fast it starts, loads, draws, reports and sounds, how much memory it
// holds, and how its history keeps up with a learner's months of games. It prints the machine
// it ran on and one markdown table, each figure beside its target. bench/run builds it in
// release mode and runs it.
//
// Options:
//   --full             also play a whole 30-station game with no answers (about 5 minutes)
//   --only 1,3,...     run only the figures listed
//   --program PATH     the program whose start-up and CPU are measured (default: the one
//                      built beside)
//   --baseline PATH    the bare Qt window its CPU is set against (default: the one built beside)
//   --build-dir DIR    the build folder whose "sound" folder holds the built wave files
//   --library DIR      the line library of figure 9 (default: the build folder's "line")
//
// Only getrusage, /proc and a monotonic clock are used, so it runs on any machine without
// performance counters. Figures 1 and 3 start their own Xvfb and watch and drive the program
// through an X connection of their own.

#include "figures.h"
#include "fonts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QFont>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using bench::Setup;

Setup parseArguments(const QStringList& arguments, bool& memoryChildRun)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The benchmark of Tabidori."));
    parser.addHelpOption();
    const QCommandLineOption full(QStringLiteral("full"),
                                  QStringLiteral("Also play a 30-station game (about 5 min)."));
    const QCommandLineOption only(QStringLiteral("only"),
                                  QStringLiteral("Run only these figures (e.g. 1,4)."),
                                  QStringLiteral("list"));
    const QCommandLineOption program(
        QStringLiteral("program"), QStringLiteral("Program timed at start-up."),
        QStringLiteral("path"), QStringLiteral(TABIDORI_BENCH_PROGRAM));
    const QCommandLineOption baseline(
        QStringLiteral("baseline"), QStringLiteral("Bare Qt window the game's CPU is set against."),
        QStringLiteral("path"), QStringLiteral(TABIDORI_BENCH_BASELINE));
    const QCommandLineOption buildDir(
        QStringLiteral("build-dir"), QStringLiteral("Build folder holding the sound folder."),
        QStringLiteral("dir"), QStringLiteral(TABIDORI_BENCH_BUILD_DIR));
    const QCommandLineOption library(QStringLiteral("library"),
                                     QStringLiteral("Line library of figure 9."),
                                     QStringLiteral("dir"));
    const QCommandLineOption child(QStringLiteral("memory-child"));
    const QCommandLineOption doubled(
        QStringLiteral("doubled"),
        QStringLiteral("Figures 8 and 9 over the line library twice over (each line again under "
                       "a name of its own, with its track)."));
    parser.addOptions({full, only, program, baseline, buildDir, library, child, doubled});
    parser.process(arguments);

    Setup setup;
    setup.full = parser.isSet(full);
    for (const QString& n : parser.value(only).split(u',', Qt::SkipEmptyParts))
        setup.only.insert(n.trimmed().toInt());
    setup.program = QFileInfo(parser.value(program)).absoluteFilePath();
    setup.baseline = QFileInfo(parser.value(baseline)).absoluteFilePath();
    setup.buildDir = QFileInfo(parser.value(buildDir)).absoluteFilePath();
    if (parser.isSet(library))
        setup.library = QFileInfo(parser.value(library)).absoluteFilePath();
    memoryChildRun = parser.isSet(child);
    setup.doubled = parser.isSet(doubled);
    return setup;
}

// Number of plates drawn in each unanswered game: three plates are two whole questions.
constexpr int kUnansweredPlates = 3;

} // namespace

int main(int argc, char* argv[])
{
    using namespace bench;
    gClock.start();
    // The benchmark's own windows are never seen, and its sound must not need a device.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TabiDori"));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::registerFontSubstitutions();
    QApplication::setFont(QFont(QString::fromUtf8(platform::kProportionalGothic), 9));

    bool memoryChildRun = false;
    Setup setup = parseArguments(QApplication::arguments(), memoryChildRun);
    if (memoryChildRun)
        return memoryChild(setup);

    printMachine(setup);
    QTemporaryDir work; // line files, and a program folder without a sound folder
    if (!work.isValid())
        fail(QStringLiteral("no temporary folder"));
    if (setup.doubled)
        setup.library = doubleLibrary(setup, work.path());
    std::vector<Row> rows;

    if (setup.wants(1))
        figureIdleCpu(rows, setup, writeLineFile(work.path(), kFullGameStations));
    if (setup.wants(2)) {
        const QString line = writeLineFile(work.path(), kFullGameStations);
        progress(QStringLiteral("figure 2: two unanswered games, about 45 s"));
        const QuestionRun silent = runUnansweredQuestions(work.path(), line, kUnansweredPlates);
        soundFolderOf(setup); // fails early when the sounds were not built
        const QuestionRun sounding
            = runUnansweredQuestions(setup.buildDir, line, kUnansweredPlates);
        figureQuestionLength(rows, silent, sounding);
        figureFullGame(rows, setup, work.path());
    }
    if (setup.wants(3))
        figureStartup(rows, setup);
    if (setup.wants(4)) {
        progress(QStringLiteral("figure 4: load, draw, report"));
        figureDataSizes(rows, setup, work.path());
    }
    if (setup.wants(5)) {
        progress(QStringLiteral("figure 5: sound delay"));
        figureAudioLatency(rows, setup);
    }
    if (setup.wants(6)) {
        progress(QStringLiteral("figure 6: memory"));
        figureMemory(rows, setup);
    }
    if (setup.wants(7)) {
        progress(QStringLiteral("figure 7: the history at a learner's scale"));
        figureHistoryScale(rows);
    }
    if (setup.wants(8)) {
        progress(QStringLiteral("figure 8: the map of the whole network"));
        figureMapDraw(rows, setup);
    }
    if (setup.wants(9)) {
        progress(QStringLiteral("figure 9: 路線一覧 and the finder over the line library"));
        figureLineFinder(rows, setup);
    }
    if (setup.wants(10)) {
        progress(QStringLiteral("figure 10: spoken readings, about 3 minutes"));
        figureSpeech(rows, setup);
    }
    if (setup.only.contains(11) || setup.full) {
        progress(QStringLiteral("figure 11: every reading of the library, about an hour"));
        figureSpeechLibrary(rows, setup);
    }

    std::printf("## Figures\n\n");
    printTable(rows);
    return 0;
}
