// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapnetwork.h"

namespace {

// The pale colour is mixed once with the map's paper, so that the lines around are drawn
// with opaque pens: blending each pixel would cost more than the whole track.
QColor paled(const QColor& colour)
{
    const QColor paper(0xf7, 0xf6, 0xf2);
    const auto mix = [](int a, int b) { return (a * 45 + b * 55) / 100; };
    return QColor(mix(colour.red(), paper.red()), mix(colour.green(), paper.green()),
                  mix(colour.blue(), paper.blue()));
}

} // namespace

MapLine MapLineOf(const IndexedLine& line, const TrackAtlas* track)
{
    MapLine map;
    map.path = line.path;
    map.name = line.name;
    map.operatorName = line.meta.operatorName;
    map.description = LineDescription(line.meta);
    if (const QString suspended = SuspendedText(line.meta); !suspended.isEmpty())
        map.description += QStringLiteral("　") + suspended;
    map.colour = IsLineColour(line.meta.colour) ? QColor(line.meta.colour) : kNoLineColour;
    map.pale = paled(map.colour);
    map.loop = line.meta.loop;
    for (int i = 0; i < line.stations.size(); ++i) {
        const StationMeta& meta = line.stations[i].meta;
        if (!meta.hasPosition)
            continue;
        map.stations.append({line.stations[i].name, meta.latitude, meta.longitude, i});
        map.box.add(meta.latitude, meta.longitude);
    }
    // A through service written by hand gives no positions; its stations stand where its ways
    // along the track begin and end.
    const int all = int(line.stations.size());
    const int allPairs = all < 2 ? 0 : (map.loop && all > 2 ? all : all - 1);
    if (track && map.stations.isEmpty() && allPairs > 0) {
        const auto it = track->lines.constFind(line.name);
        const auto drawn = [&](int pair) -> const TrackWay* {
            const TrackWay& way = it->ways[pair];
            return way.kind == TrackWay::Track && !way.points.isEmpty() ? &way : nullptr;
        };
        if (it != track->lines.cend() && it->ways.size() == allPairs) {
            for (int i = 0; i < all; ++i) {
                // The way from it, else the way into it.
                const TrackWay* from = i < allPairs ? drawn(i) : nullptr;
                const TrackWay* into = i > 0 ? drawn(i - 1) : nullptr;
                if (!from && !into) {
                    map.stations.clear();
                    break;
                }
                const TrackPoint at = from ? from->points.first().at : into->points.last().at;
                map.stations.append({line.stations[i].name, at.lat * 1e-5, at.lng * 1e-5, i});
                map.box.add(at.lat * 1e-5, at.lng * 1e-5);
            }
        }
    }
    const int count = int(map.stations.size());
    const int pairs = count < 2 ? 0 : (map.loop && count > 2 ? count : count - 1);
    if (track && count == line.stations.size()) {
        const auto it = track->lines.constFind(line.name);
        QStringList names;
        for (const MapStation& s : map.stations)
            names.append(s.name);
        if (it != track->lines.cend() && it->ways.size() == pairs
            && it->stationHash == TrackStationHash(names))
            map.ways = it->ways;
    }
    map.suspended = QList<bool>(pairs, false);
    for (const SuspendedSection& section : line.meta.suspended) {
        int from = -1, to = -1;
        for (int i = 0; i < count; ++i) {
            if (from < 0 && map.stations[i].name == section.from)
                from = i;
            else if (from >= 0 && map.stations[i].name == section.to) {
                to = i;
                break;
            }
        }
        for (int k = from; from >= 0 && k < to; ++k)
            map.suspended[k] = true;
    }
    return map;
}

QList<MapLine> MapLinesOf(const QList<IndexedLine>& lines, const TrackAtlas* track)
{
    QList<MapLine> map;
    map.reserve(lines.size());
    for (const IndexedLine& line : lines) {
        MapLine one = MapLineOf(line, track);
        if (!one.stations.isEmpty())
            map.append(std::move(one));
    }
    return map;
}

void MapProjection::update(const QList<MapLine>& lines, double scale, double factor)
{
    if (scale == scale_ && factor == factor_ && count_ == lines.size())
        return;
    scale_ = scale;
    factor_ = factor;
    count_ = lines.size();
    tracks.resize(lines.size());
    runs.resize(lines.size());
    thinned.resize(lines.size());
    outlines.resize(lines.size());
    boxes.resize(lines.size());
    // The track's points worth drawing at this scale: every one whose simplification weight is
    // half a pixel or more (and a few below it, the levels being coarse).
    const double halfPixel = 111000 / scale / 2;
    int level = 0;
    while (level + 1 < kTrackLevels && kTrackLevelMetres[level + 1] <= halfPixel)
        ++level;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const MapLine& line = lines[i];
        QPolygonF& track = tracks[i];
        track.clear();
        track.reserve(line.stations.size() + 1);
        for (const MapStation& s : line.stations)
            track.append(WorldPoint(s.latitude, s.longitude, scale, factor));
        if (line.loop && track.size() > 2)
            track.append(track.first());

        QList<MapRun>& drawn = runs[i];
        drawn.clear();
        QPolygonF& outline = outlines[i];
        outline.clear();
        for (qsizetype k = 0; k + 1 < track.size(); ++k) {
            const bool dashed = line.suspended.value(k, false);
            if (drawn.isEmpty() || drawn.last().dashed != dashed)
                drawn.append({QPolygonF {track[k]}, dashed});
            QPolygonF& points = drawn.last().points;
            if (k < line.ways.size() && line.ways[k].kind == TrackWay::Track) {
                for (const TrackWayPoint& p : line.ways[k].points) {
                    if (p.level >= level)
                        points.append(WorldPoint(p.at.lat * 1e-5, p.at.lng * 1e-5, scale, factor));
                }
            }
            points.append(track[k + 1]);
        }
        if (drawn.isEmpty() && !track.isEmpty())
            drawn.append({QPolygonF {track.first()}, false});
        thinned[i].clear();
        for (const MapRun& run : drawn) {
            thinned[i].append({Thinned(run.points, 1.5), run.dashed});
            outline += run.points;
        }
        boxes[i] = outline.boundingRect();
    }
}
