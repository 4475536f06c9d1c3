// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Figure 8: the map (地図) painting the whole network at the country's scale and around one city:
// the library the game ships (every line beside the built program), or, where it is missing, a
// network made up the same on every run, 600 lines and 10,000 stations, two thirds of them
// crowding round two cities as the real ones do.

#include "figures.h"
#include "mapcanvas.h"
#include "progressdata.h"
#include "routelayout.h"
#include "trackfile.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <random>

namespace bench {

namespace {

constexpr int kMapLines = 600;
constexpr int kMapStations = 10000;
constexpr int kMapRuns = 50;
constexpr double kPaintTargetMs = 50.0;

struct City
{
    double latitude, longitude, spread;
};

// Random walks from a city's centre (or from anywhere along the country's diagonal), a station
// every one to three kilometres in a city and every five out of it.
QList<IndexedLine> madeNetwork()
{
    const City tokyo {35.68, 139.76, 0.35}, osaka {34.69, 135.50, 0.3};
    std::mt19937 random(20260529);
    std::uniform_real_distribution<double> unit(0, 1);
    QList<IndexedLine> lines;
    int stations = 0;
    for (int i = 0; i < kMapLines; ++i) {
        IndexedLine line;
        line.path = QStringLiteral("/made/%1.txt").arg(i);
        line.name = QStringLiteral("試験線%1").arg(i);
        line.meta.operatorName = QStringLiteral("試験鉄道");
        if (i % 10 < 7)
            line.meta.colour = QStringLiteral("#%1").arg(random() % 0xffffff, 6, 16, QChar(u'0'));
        const int kind = i % 3; // 0 Tokyo, 1 Osaka or anywhere, 2 anywhere
        const City* city = kind == 0 ? &tokyo : (kind == 1 && i % 2) ? &osaka : nullptr;
        const double t = unit(random);
        double lat = city ? city->latitude + (unit(random) - 0.5) * city->spread : 31.5 + 12 * t;
        double lon = city ? city->longitude + (unit(random) - 0.5) * city->spread
                          : 130.5 + 11 * t + (unit(random) - 0.5) * 2;
        const double step = city ? 0.01 + 0.02 * unit(random) : 0.05;
        const double heading = unit(random) * 6.283;
        // About as many on each line as are left to share, give or take six; the last line
        // makes the total.
        const int share = (kMapStations - stations) / (kMapLines - i);
        const int count
            = i + 1 == kMapLines ? kMapStations - stations : share - 6 + int(random() % 13);
        for (int j = 0; j < count; ++j) {
            const double turn = heading + (unit(random) - 0.5);
            lat += step * std::sin(turn);
            lon += step * std::cos(turn) * 1.2;
            IndexedStation s;
            s.name = QStringLiteral("駅%1の%2").arg(i).arg(j);
            s.meta.hasPosition = true;
            s.meta.latitude = lat;
            s.meta.longitude = lon;
            line.stations.append(s);
        }
        stations += count;
        lines.append(line);
    }
    return lines;
}

} // namespace

void figureMapDraw(std::vector<Row>& rows, const Setup& setup)
{
    LineIndex index;
    QList<IndexedLine> network = index.lines({libraryOf(setup)});
    // The loaded line: Tokyo's first that has positions.
    const auto placed = [](const IndexedLine& l) {
        return !l.stations.isEmpty() && l.stations.front().meta.hasPosition
            && std::abs(l.stations.front().meta.latitude - 35.68) < 0.1
            && std::abs(l.stations.front().meta.longitude - 139.76) < 0.1;
    };
    if (const auto it = std::find_if(network.begin(), network.end(), placed); it != network.end())
        std::iter_swap(network.begin(), it);
    else
        network = madeNetwork();
    int stations = 0;
    for (const IndexedLine& l : network)
        stations += int(l.stations.size());
    TrackAtlas track = LoadTrackAtlas(libraryOf(setup));
    // A line of the library twice over runs on its original's track.
    const QString mark = QString::fromLatin1(kCopyMark);
    for (const IndexedLine& l : network) {
        if (l.name.startsWith(mark) && track.lines.contains(l.name.mid(mark.size())))
            track.lines.insert(l.name, track.lines.value(l.name.mid(mark.size())));
    }
    const QString size = QStringLiteral("%1 lines, %2 stations").arg(network.size()).arg(stations);

    // The same paints with the lines drawn along their track (as the game draws them) and, for
    // comparison, straight from station to station (as before the track came).
    for (const bool onTrack : {true, false}) {
        MapCanvas canvas(MapLinesOf(network, onTrack ? &track : nullptr));
        canvas.resize(880, 620);
        // The loaded line is the first of Tokyo's, its stations in every state.
        QList<int> states;
        for (int i = 0; i < network[0].stations.size(); ++i)
            states.append(i % 5);
        canvas.setCurrent(0, states, [](QPainter& p, QPointF centre, qreal radius, int state) {
            PaintStationDot(p, centre, radius, CardState(state));
        });
        canvas.show();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents);

        const auto measure = [&](const MapView& view) {
            canvas.setView(view);
            canvas.repaint(); // the first paint also lays out the glyphs of the names
            std::vector<double> paint;
            const std::vector<double> shown = timeRuns(kMapRuns, [&] {
                canvas.repaint();
                paint.push_back(canvas.lastPaintMs());
            });
            return std::pair {paint, shown};
        };
        const MapView country = FitView(JapanBox(), QSizeF(canvas.size()), 20);
        const auto [countryPaint, countryShown] = measure(country);
        const MapView city {35.68, 139.76, 6000};
        const auto [cityPaint, cityShown] = measure(city);
        const int cityNames = canvas.labelsDrawn();
        // A zoom step's first paint: a new scale, so the lines are projected again and the
        // names placed again, as the wheel does it around 東京.
        std::vector<double> zoomPaint;
        for (int step = 0; step < 20; ++step) {
            canvas.setView({35.68, 139.76, 6000 * std::pow(1.25, (step % 10) - 5)});
            canvas.repaint();
            zoomPaint.push_back(canvas.lastPaintMs());
        }

        const auto row = [&](const QString& name, const std::vector<double>& ms,
                             const std::vector<double>& shown, const QString& what) {
            const double m = median(ms);
            return Row {
                name, fixed(m, 2) + QStringLiteral(" ms"),
                QStringLiteral("below %1 ms").arg(kPaintTargetMs), verdict(m < kPaintTargetMs),
                QStringLiteral("median paintEvent of %1 (range %2–%3 ms), repaint() %4 ms; ")
                        .arg(ms.size())
                        .arg(fixed(minOf(ms), 2), fixed(maxOf(ms), 2), fixed(median(shown), 2))
                    + what};
        };
        const QString how = onTrack
            ? QStringLiteral(", along the track (%1 lines of line-track.bin)")
                  .arg(track.lines.size())
            : QStringLiteral(", straight from station to station");
        rows.push_back(row(QStringLiteral("8%1. Paint the map of the whole country (%2)%3")
                               .arg(onTrack ? QStringLiteral("a") : QStringLiteral("c"))
                               .arg(size, how),
                           countryPaint, countryShown,
                           QStringLiteral("880 × 620 offscreen, all Japan in view")));
        rows.push_back(
            row(QStringLiteral("8%1. Paint the map around one city%2")
                    .arg(onTrack ? QStringLiteral("b") : QStringLiteral("d"))
                    .arg(how),
                cityPaint, cityShown,
                QStringLiteral("Tokyo at 6,000 px a degree (54 px a km), %1 station names "
                               "written, the others left out where they would overlap")
                    .arg(cityNames)));
        if (onTrack)
            rows.push_back(
                row(QStringLiteral("8e. A zoom step's first paint around 東京%1").arg(how),
                    zoomPaint, zoomPaint,
                    QStringLiteral("20 steps of 1.25× between 1,970 and 18,300 px a "
                                   "degree: projected again, names placed again")));
        if (onTrack) {
            // A zoom step is held to the frame of a smooth wheel, not to a whole repaint's.
            rows.back().target = QStringLiteral("below 30 ms");
            rows.back().met = verdict(median(zoomPaint) < 30);
        }
    }
}

} // namespace bench
