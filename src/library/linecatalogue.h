// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The library of lines: the line files beside the program, one sub-folder per region, and the
// player's own lines under $XDG_DATA_HOME/tabidori/line. Each line is known by the name in the
// first line of its file, read once and read again only when the file changes.

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

struct LineEntry
{
    QString path;
    QString name; // the line's name from its first line; the file's base name when it has none
    QString group; // lines of one operator share a group (the file name up to its first "-")
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

// Where the player's own lines live: $XDG_DATA_HOME/tabidori/line.
QString UserLineFolder();

class LineCatalogue
{
public:
    // The regions of a library folder in their geographic order, then any others by name;
    // lines by file name. Files directly in the folder form a region of their own, last.
    QList<LineRegion> regions(const QString& folder);
    // Every line file under folder and its sub-folders, by name.
    QList<LineEntry> lines(const QString& folder);

    // The name of the line in a file, as the game would show it.
    QString nameOf(const QString& path);
    // How many files were opened to read a name (for tests and the benchmark).
    int reads() const { return reads_; }

private:
    struct Known
    {
        QDateTime modified;
        qint64 size = -1;
        QString name;
    };
    LineEntry entryFor(const QString& path);

    QHash<QString, Known> names_;
    int reads_ = 0;
};
