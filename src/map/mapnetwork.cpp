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

MapLine MapLineOf(const IndexedLine& line)
{
    MapLine map;
    map.path = line.path;
    map.name = line.name;
    map.operatorName = line.meta.operatorName;
    map.description = LineDescription(line.meta);
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
    return map;
}

QList<MapLine> MapLinesOf(const QList<IndexedLine>& lines)
{
    QList<MapLine> map;
    map.reserve(lines.size());
    for (const IndexedLine& line : lines) {
        MapLine one = MapLineOf(line);
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
    thinned.resize(lines.size());
    boxes.resize(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const MapLine& line = lines[i];
        QPolygonF& track = tracks[i];
        track.clear();
        track.reserve(line.stations.size() + 1);
        for (const MapStation& s : line.stations)
            track.append(WorldPoint(s.latitude, s.longitude, scale, factor));
        if (line.loop && track.size() > 2)
            track.append(track.first());
        thinned[i] = Thinned(track, 1.5);
        boxes[i] = track.boundingRect();
    }
}
