// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linefilecache.h"
#include "linefile.h"
#include "logging.h"
#include "stationid.h"
#include "textfile.h"

#include <QStringList>

LineFileCache::Known& LineFileCache::current(const QFileInfo& info, bool* fresh)
{
    Known& known = known_[info.filePath()];
    *fresh = known.size == info.size() && known.modified == info.lastModified();
    if (!*fresh) {
        known.size = info.size();
        known.modified = info.lastModified();
        known.file = {};
    }
    return known;
}

const CachedLineFile& LineFileCache::head(const QFileInfo& info)
{
    bool fresh = false;
    Known& known = current(info, &fresh);
    if (fresh)
        return known.file;
    ++headReads_;
    TextFile file;
    if (file.open(info.filePath()) && !file.isEmpty()) {
        // The head only: a station line after ### ends the reading.
        LineFileOptions options;
        options.stationLimit = 0;
        const LineFile head = ParseLineFile(file, options);
        if (head.tooLongLine != 1)
            known.file.name = head.name;
        if (head.tooLongLine == 0)
            known.file.meta = ParseLineMeta(head.freeText);
    }
    if (known.file.name.isEmpty())
        qCInfo(logLibrary).noquote() << "no line name, listed by its file name:" << info.filePath();
    return known.file;
}

const CachedLineFile& LineFileCache::whole(const QFileInfo& info)
{
    bool fresh = false;
    Known& known = current(info, &fresh);
    if (fresh && known.file.whole)
        return known.file;
    ++wholeReads_;
    CachedLineFile& out = known.file;
    out = {};
    out.whole = true;
    TextFile file;
    if (!file.open(info.filePath()) || file.isEmpty())
        return out;
    LineFileOptions options;
    options.stationLimit = kMaxLineStations;
    const LineFile parsed = ParseLineFile(file, options);
    if (parsed.tooLongLine != 1)
        out.name = parsed.name;
    // A line too long among the stations leaves the head as the menus read it.
    if (parsed.tooLongLine == 0 || parsed.marker)
        out.meta = ParseLineMeta(parsed.freeText);
    if (parsed.tooLongLine > 0)
        return out;
    out.readable = true;
    out.stations.reserve(parsed.stations.size());
    QStringList keyed;
    for (const LineFileStation& s : parsed.stations) {
        out.stations.append({s.fields[0], s.fields[1], ParseStationExtra(s.fields[2])});
        keyed << StationKey(s.fields[0], s.fields[1]);
    }
    // The game loads what has a marker and stations within the table; only that has a key.
    if (parsed.marker && !parsed.stations.isEmpty() && !parsed.overLimit)
        out.key = LineKey(parsed.name, keyed);
    return out;
}
