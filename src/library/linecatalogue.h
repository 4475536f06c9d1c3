// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The library of lines: the line files beside the program, one sub-folder per region, and the
// player's own lines under $XDG_DATA_HOME/tabidori/line. Each line is known by the name in the
// first line of its file and what its free text says about it (operator, colour, prefectures),
// read from the head of the file (up to ###) once and again only when the file changes.

#include "linefilecache.h"
#include "linemeta.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

struct LineEntry
{
    QString path;
    QString name; // the line's name from its first line; the file's base name when it has none
    // Lines of one operator share a group: its @事業者, else the file name up to its first "-".
    QString group;
    LineMeta meta; // what the file's free text says; empty for a hand-made file without it
};

struct LineRegion
{
    QString folder; // the sub-folder's name ("" for files directly in the library folder)
    QString title; // what the menu calls it
    QList<LineEntry> lines;
};

// The region of a sub-folder as the menu shows it: 北海道 for "hokkaido" and so on; a folder
// of another name is shown by its own name.
QString RegionTitle(const QString& folder);
// Where a sub-folder stands in the geographic order (north to south, the Shinkansen last);
// folders of other names after them all.
int RegionRank(const QString& folder);

// The JR lines first, then each operator's lines together, operators in the order their first
// line comes; otherwise the order is kept.
void SortByOperator(QList<LineEntry>& lines);

// Where the player's own lines live: $XDG_DATA_HOME/tabidori/line.
QString UserLineFolder();

class LineCatalogue
{
public:
    // Over a cache of its own, or over one shared with the index and the rest.
    LineCatalogue();
    explicit LineCatalogue(LineFileCache& files);

    // The regions of a library folder in their geographic order, then any others by name;
    // lines by file name. Files directly in the folder form a region of their own, last.
    QList<LineRegion> regions(const QString& folder);
    // The same regions without their lines, from the folder listings alone.
    QList<LineRegion> regionFolders(const QString& folder);
    // One region's lines: those of the sub-folder, or of the folder itself when sub is "".
    LineRegion region(const QString& folder, const QString& sub);
    // Every line file under folder and its sub-folders, by name.
    QList<LineEntry> lines(const QString& folder);

    // The line in a file as the menu shows it, from the head of the file.
    LineEntry entryFor(const QString& path);
    LineEntry entryFor(const QFileInfo& info);
    // How many files were opened to read a head (for tests and the benchmark).
    int reads() const { return files_->headReads(); }

private:
    std::unique_ptr<LineFileCache> own_;
    LineFileCache* files_;
};
