// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Figure 4: loading, drawing and reporting a 1001-station line, and reading the line library.

#include "figures.h"
#include "gamestate.h"
#include "harness.h"
#include "linecatalogue.h"
#include "plate.h"
#include "platewidget.h"
#include "scorereport.h"
#include "stationtable.h"
#include "twips.h"

#include <QCoreApplication>

namespace bench {

namespace {

constexpr int kDataRuns = 50;

} // namespace

void figureDataSizes(std::vector<Row>& rows, const Setup& setup, const QString& workDir)
{
    BenchHost host(workDir);
    ScopedHost use(&host);
    ResetStationTable();
    ResetGameState();
    const QString path = writeLineFile(workDir, kBigLineStations);

    const std::vector<double> load = timeRuns(kDataRuns, [&] {
        if (!LoadLineFile(path))
            fail(QStringLiteral("the big line did not load"));
    });
    if (gStationCount != kBigLineStations)
        fail(QStringLiteral("the big line has %1 stations").arg(gStationCount));
    gLineFilePath = path;
    gGameMode = kModeHayauchi;

    PlateWidget plate;
    plate.resize(twips::size(8000, 2000));
    plate.show();
    settleEvents();
    // A different station each time, as in a game, so that no run only repeats the last one.
    int station = 0;
    const auto nextStation = [&] { return station = (station + 37) % kBigLineStations; };
    const std::vector<double> draw
        = timeRuns(kDataRuns, [&] { DrawStationPlate(plate, nextStation()); });
    // The same, until the window has repainted the plate from its picture.
    const std::vector<double> drawShown = timeRuns(kDataRuns, [&] {
        DrawStationPlate(plate, nextStation());
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    });

    // A game's worth of results, mixed, so that every kind of report row is written.
    for (int i = 0; i < gStationCount; ++i) {
        StationTable[i].IsOK = i % 4 ? std::int16_t(-1) : std::int16_t(0);
        StationTable[i].RemainTenths = i % 4 ? 1 + i % 100 : 0;
    }
    gCorrectRate = float(GetOKcount()) / float(gStationCount);
    gScore = 5000;
    qsizetype written = 0;
    const std::vector<double> report
        = timeRuns(kDataRuns, [&] { written += BuildScoreReport().size(); });
    if (written == 0)
        fail(QStringLiteral("the report is empty"));

    const auto row = [](const QString& name, const std::vector<double>& ms, const QString& what) {
        return Row {name, fixed(median(ms), 2) + QStringLiteral(" ms"), kNoTarget, kNoTarget,
                    QStringLiteral("median of %1 (range %2–%3 ms); ")
                            .arg(ms.size())
                            .arg(fixed(minOf(ms), 2), fixed(maxOf(ms), 2))
                        + what};
    };
    rows.push_back(row(QStringLiteral("4a. Load a 1001-station line file (CP932)"), load,
                       QStringLiteral("LoadLineFile, real QtHost (events delivered per line)")));
    rows.push_back(row(QStringLiteral("4b. Draw one station plate"), draw,
                       QStringLiteral("DrawStationPlate on a shown PlateWidget of 8000 × 2000 "
                                      "twips, stations varied; with the repaint delivered %1 ms")
                           .arg(fixed(median(drawShown), 2))));
    rows.push_back(row(QStringLiteral("4c. Build the score report of 1001 stations"), report,
                       QStringLiteral("BuildScoreReport()")));

    // The line library as 路線一覧 reads it when it opens: every file's first line once, then
    // only the folder listings while nothing changed.
    const QString library = setup.buildDir + QStringLiteral("/line");
    int lines = 0;
    const std::vector<double> cold = timeRuns(kDataRuns, [&] {
        LineCatalogue fresh;
        lines = 0;
        for (const LineRegion& region : fresh.regions(library))
            lines += int(region.lines.size());
    });
    LineCatalogue warm;
    warm.regions(library);
    const std::vector<double> again = timeRuns(kDataRuns, [&] { warm.regions(library); });
    if (lines == 0)
        fail(QStringLiteral("no line library in ") + library);
    rows.push_back(
        row(QStringLiteral("4d. Read the line library for 路線一覧 (%1 lines)").arg(lines), cold,
            QStringLiteral("every name read, the first time the menu opens; each "
                           "later opening %1 ms (names known, files unchanged). "
                           "Start-up reads none of it")
                .arg(fixed(median(again), 2))));
}

} // namespace bench
