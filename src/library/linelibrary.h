// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lines the program knows: the library beside the program and the player's own lines, every
// file read through one cache, once, for 路線一覧, the finder, the map, former names and 成績.

#include "linecatalogue.h"
#include "linefilecache.h"
#include "lineindex.h"
#include "trackfile.h"

#include <QFileInfoList>

#include <memory>
#include <optional>

class QTimer;

class LineLibrary
{
public:
    // The library beside the program: its folder "line".
    static QString folder();

    LineLibrary();
    ~LineLibrary();
    LineLibrary(const LineLibrary&) = delete;
    LineLibrary& operator=(const LineLibrary&) = delete;

    LineCatalogue& catalogue() { return catalogue_; }
    // Every line of the library and of the player's own read whole (again only when changed).
    const QList<IndexedLine>& all();
    // The library's regions, then the player's own lines as a region titled マイ路線.
    QList<LineRegion> regionsWithOwn();
    // A file read whole: its key and stations.
    const CachedLineFile& whole(const QString& path);
    // The track beside the library, read once (empty when it is missing or damaged: the map
    // then draws straight lines, as for a player's own line).
    const TrackAtlas& track();
    // Reads every line file whole ahead of need, a few files each turn of the event loop from
    // a moment after the call, so that the finder, 成績 and the map open without reading a
    // thousand files while the player waits; nothing is blocked for more than a millisecond or
    // two. Files read since are only compared.
    void readAhead();
    bool readingAhead() const { return !ahead_.isEmpty(); }
    // Files read whole so far (for tests).
    int wholeReads() const { return files_.wholeReads(); }

private:
    void readAheadStep();

    std::optional<TrackAtlas> track_;
    QFileInfoList ahead_;
    std::unique_ptr<QTimer> aheadTimer_;
    LineFileCache files_;
    LineCatalogue catalogue_ {files_};
    LineIndex index_ {files_};
};
