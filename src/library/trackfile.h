// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The track of the whole library in one small file beside it ("line-track.bin"), made by the
// importer from the open station database's polylines: for every line, the way along the
// track from each station to the next, simplified and weighted for drawing at any scale. The
// map draws it; tabidori-linecheck checks the library against it.
//
// The format (all integers unsigned LEB128 varints unless said; signed ones zigzag-coded):
//   "TBTRACK1"                         8 bytes
//   attribution                       varint length, UTF-8 (the 出典 of the data)
//   line count                        varint
//   for each line:
//     name                            varint length, UTF-8 (the line file's first line)
//     stations                        varint count, then a 32-bit FNV-1a hash (4 bytes,
//                                     little-endian) of the station names joined by "\n",
//                                     so a line file changed since shows
//     pairs                           varint count (stations - 1, or stations for a loop)
//     for each pair:
//       kind                          1 byte: 0 no way along the track was found,
//                                     1 a way follows, 2 drawn straight (the database's track
//                                     is known to be wrong here; a correction says so)
//       points (kind 1)               varint count, then per point: zigzag latitude and
//                                     longitude in 1e-5 degrees as the difference from the
//                                     line's previous point (the first from 0), and 1 byte
//                                     level: the point is drawn at every tolerance up to
//                                     kTrackLevelMetres[level] (see TrackLevelOf)
// A reader takes nothing on trust: every count is held to the bytes that remain.

#include "trackgraph.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

inline constexpr char kTrackFileName[] = "line-track.bin";
// The tolerances of the levels, in metres: level 0 is the finest kept.
inline constexpr double kTrackLevelMetres[] = {4, 16, 64, 256, 1024, 4096, 16384};
inline constexpr int kTrackLevels = 7;

struct TrackWayPoint
{
    TrackPoint at;
    quint8 level = 0;
};

struct TrackWay
{
    enum Kind : quint8 { Missing = 0, Track = 1, Straight = 2 };
    Kind kind = Missing;
    QList<TrackWayPoint> points;
};

struct TrackLine
{
    QString name;
    int stationCount = 0;
    quint32 stationHash = 0;
    QList<TrackWay> ways; // one per consecutive pair, in running order
};

struct TrackAtlas
{
    QString attribution;
    QHash<QString, TrackLine> lines; // by line name
};

// The level a point of the given simplification weight (metres) is stored at; -1 when it is
// finer than the finest level and is left out.
int TrackLevelOf(double weight);
// The hash the file keeps of a line's stations.
quint32 TrackStationHash(const QStringList& names);

QByteArray WriteTrackFile(const QString& attribution, const QList<TrackLine>& lines);
// False (with *error in Japanese) for a file that is not one, or is cut short or damaged.
bool ReadTrackFile(const QByteArray& bytes, TrackAtlas* atlas, QString* error);
// The atlas beside a library folder (folder/../line-track.bin); empty when there is none or it
// cannot be read.
TrackAtlas LoadTrackAtlas(const QString& libraryFolder, QString* error = nullptr);
