// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Figure 2: how long a question left to run out really lasts, and a whole unanswered game.

#include "figures.h"
#include "harness.h"
#include "sound.h"

#include <QDir>

#include <cmath>

namespace bench {

// Starts a game on the real Qt host and lets its questions run out, with the program folder
// `folder` (with or without a "sound" folder); the game is stopped with the stop command once
// `plates` plates were drawn.
QuestionRun runUnansweredQuestions(const QString& folder, const QString& linePath, int plates)
{
    BenchHost host(folder);
    ScopedHost use(&host);
    auto w = loadMainWindow(host, linePath);
    QuestionRun run;
    w->onPlate = [&](std::int32_t) {
        run.plateMs.push_back(nowMs());
        if (int(run.plateMs.size()) == plates)
            w->stopCommand();
    };
    w->mnuGameStart_Click();
    if (int(run.plateMs.size()) != plates)
        fail(QStringLiteral("the unanswered game ended early"));
    return run;
}

void figureQuestionLength(std::vector<Row>& rows, const QuestionRun& silent,
                          const QuestionRun& sounding)
{
    std::vector<double> lengths;
    for (const QuestionRun* run : {&silent, &sounding}) {
        for (std::size_t i = 1; i < run->plateMs.size(); ++i)
            lengths.push_back((run->plateMs[i] - run->plateMs[i - 1]) / 1000.0);
    }
    const double length = median(lengths);
    const double drift = 100.0 * (length - 10.0) / 10.0;
    rows.push_back({QStringLiteral("2a. Real length of a question left to run out"),
                    fixed(length, 3) + QStringLiteral(" s (drift %1 %)").arg(fixed(drift, 2)),
                    QStringLiteral("10.00 s, drift < 1 %"), verdict(std::abs(drift) < 1.0),
                    QStringLiteral("median of %1 questions (plate to plate), range %2–%3 s")
                        .arg(lengths.size())
                        .arg(fixed(minOf(lengths), 3), fixed(maxOf(lengths), 3))});
}

// A whole game of kFullGameStations stations with sounds and no answers, from the start
// command to the end sound's request (the last question's end).
void figureFullGame(std::vector<Row>& rows, const Setup& setup, const QString& workDir)
{
    const QString figure
        = QStringLiteral("2b. Real length of a %1-station game, no answers").arg(kFullGameStations);
    if (!setup.full) {
        rows.push_back({figure, QStringLiteral("skipped (--full)"),
                        QStringLiteral("~300 s + the start sound"), kNoTarget, QString()});
        return;
    }
    const double startSound
        = waveSeconds(QDir(soundFolderOf(setup)).filePath(QStringLiteral("start.wav")));
    BenchHost host(setup.buildDir);
    ScopedHost use(&host);
    auto w = loadMainWindow(host, writeLineFile(workDir, kFullGameStations));
    ScoreWatcher score; // closes the score window at the end
    double firstPlateMs = -1.0;
    double endSoundMs = -1.0;
    w->onPlate = [&](std::int32_t) {
        if (firstPlateMs < 0)
            firstPlateMs = nowMs();
    };
    w->onSound = [&](int sound) {
        if (sound >= kSoundBadEnd && sound <= kSoundGoodEnd)
            endSoundMs = nowMs();
    };
    progress(QStringLiteral("figure 2b: a %1-station game, about %2 s")
                 .arg(kFullGameStations)
                 .arg(kFullGameStations * 10 + 5));
    const double startMs = nowMs();
    w->mnuGameStart_Click();
    const double overMs = nowMs();
    if (endSoundMs < 0 || firstPlateMs < 0)
        fail(QStringLiteral("the full game did not reach its end"));

    const double length = (endSoundMs - startMs) / 1000.0;
    const double target = kFullGameStations * 10.0 + startSound;
    const double drift = 100.0 * (length - target) / target;
    rows.push_back({figure,
                    fixed(length, 2) + QStringLiteral(" s (drift %1 %)").arg(fixed(drift, 2)),
                    QStringLiteral("%1 s (300 s + start.wav %2 s), drift < 1 %")
                        .arg(fixed(target, 2), fixed(startSound, 2)),
                    verdict(std::abs(drift) < 1.0),
                    QStringLiteral("start command to the end sound's request; the start "
                                   "sound took %1 s; the score window closed at %2 s")
                        .arg(fixed((firstPlateMs - startMs) / 1000.0, 2),
                             fixed((overMs - startMs) / 1000.0, 2))});
}

} // namespace bench
