// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every line of the library read whole, for the finder and the map: names, readings, station
// numbers and positions, and what each file says about its line. A file is read once and again
// only when it changes; nothing is read until someone asks.

#include "linefilecache.h"
#include "linemeta.h"

#include <QList>
#include <QString>

#include <memory>

struct IndexedLine
{
    QString path;
    QString name; // line 1; the file's base name when it has none
    QString region; // the library sub-folder it is in ("" for the player's own lines)
    LineMeta meta;
    QList<IndexedStation> stations;
};

class LineIndex
{
public:
    // Over a cache of its own, or over one shared with the catalogue and the rest.
    LineIndex();
    explicit LineIndex(LineFileCache& files);

    // The lines of every *.txt under the given folders (and their sub-folders), sorted by path
    // within each folder; folders in the order given. Files that cannot be read are left out.
    const QList<IndexedLine>& lines(const QStringList& folders);
    // How many files were read whole (for tests and the benchmark).
    int reads() const { return files_->wholeReads(); }

private:
    std::unique_ptr<LineFileCache> own_;
    LineFileCache* files_;
    QList<IndexedLine> lines_;
};

// Reads one line file whole; false when it cannot be read.
bool ReadIndexedLine(const QString& path, IndexedLine* out);
