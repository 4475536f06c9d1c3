// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The figures of the benchmark, one file each; each adds its rows to the table.

#include "common.h"

#include <vector>

namespace bench {

void printMachine(const Setup& setup);

// 1: what the real program costs while a question waits, on Xvfb (cpu.cpp)
void figureIdleCpu(std::vector<Row>& rows, const Setup& setup, const QString& line);

// 2: how true the question clock runs (questionclock.cpp)
struct QuestionRun
{
    std::vector<double> plateMs; // when each plate was drawn
};
QuestionRun runUnansweredQuestions(const QString& folder, const QString& linePath, int plates);
void figureQuestionLength(std::vector<Row>& rows, const QuestionRun& silent,
                          const QuestionRun& sounding);
void figureFullGame(std::vector<Row>& rows, const Setup& setup, const QString& workDir);

// 3: start-up of the real program on Xvfb (startup.cpp)
void figureStartup(std::vector<Row>& rows, const Setup& setup);

// 4: loading, drawing and reporting a 1001-station line (datasizes.cpp)
void figureDataSizes(std::vector<Row>& rows, const Setup& setup, const QString& workDir);

// 5: from a play request to the first sound out of the mixer (audiolatency.cpp)
void figureAudioLatency(std::vector<Row>& rows, const Setup& setup);

// 6: resident memory (memory.cpp); the child runs in a process of its own
int memoryChild(const Setup& setup);
void figureMemory(std::vector<Row>& rows, const Setup& setup);

// 7: the history at a learner's scale, 20,000 games and 300,000 answers (historyscale.cpp)
void figureHistoryScale(std::vector<Row>& rows);

// 8: the map painting the library beside the program (a made-up network of 600 lines and 10,000
// stations where it is missing), country and city (mapdraw.cpp)
void figureMapDraw(std::vector<Row>& rows, const Setup& setup);
// 9: 路線一覧 and the finder over the whole line library (linefinder.cpp)
void figureLineFinder(std::vector<Row>& rows, const Setup& setup);

// 10: the spoken readings: delay cold and cached, what making them costs (speech.cpp)
void figureSpeech(std::vector<Row>& rows, const Setup& setup);
// 11: every reading of the library made once (speech.cpp; asked for by --only 11 or --full)
void figureSpeechLibrary(std::vector<Row>& rows, const Setup& setup);

} // namespace bench
