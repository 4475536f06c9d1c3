// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every line file the program has read, kept as read and read again only when its modification
// time or size changes: one cache for 路線一覧, the finder, the map, former names and 成績. A head
// (up to ###) is read for the menus; the whole file once someone needs its stations.

#include "linemeta.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QString>

struct IndexedStation
{
    QString name;
    QString reading;
    StationMeta meta;
};

struct CachedLineFile
{
    QString name; // line 1; "" when the file has none (or it cannot be read)
    LineMeta meta; // what the free text says; empty when it says nothing
    bool whole = false; // the stations below were read
    bool readable = false; // read whole as a line (the finder and the map show it)
    QList<IndexedStation> stations; // in file order
    // The key the history knows the line by once the game loads it (LineKey of its name and
    // stations); "" when the game would refuse the file.
    QString key;
};

class LineFileCache
{
public:
    // The head of a file: its name and what its free text says. The whole file when that is
    // already known.
    const CachedLineFile& head(const QFileInfo& info);
    // The whole file.
    const CachedLineFile& whole(const QFileInfo& info);
    // How many files were opened for a head and read whole (for tests and the benchmark).
    int headReads() const { return headReads_; }
    int wholeReads() const { return wholeReads_; }

private:
    struct Known
    {
        QDateTime modified;
        qint64 size = -1;
        CachedLineFile file;
    };
    Known& current(const QFileInfo& info, bool* fresh);

    QHash<QString, Known> known_;
    int headReads_ = 0;
    int wholeReads_ = 0;
};
