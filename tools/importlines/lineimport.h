// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line library made from the open station database (station_database): its line files
// (one JSON object per line with its station list) and its company table go in, with the rows
// of the corrections table; line files as bytes come out, with what could not be converted.
// Pure functions: no file is read or written here, and the same input always gives the same
// bytes (everything is sorted, nothing depends on the time or on hash order).

#include "linemeta.h"
#include "trackfile.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// Where the data comes from, named first in every imported file's 出典 line (kImportSourceName,
// linemeta.h): such a file was made by the importer and may be replaced or removed by the next
// import.
inline constexpr char16_t kImportSourceUrl[] = u"https://github.com/Seo-4d696b75/station_database";

enum class CorrectionKind {
    Reading,
    Name,
    Drop,
    Insert,
    Loop,
    Skip,
    Branch,
    Operator,
    Former,
    Numbers,
    Track,
    Rename,
    Suspended
};

// One row of the corrections table.
struct Correction
{
    CorrectionKind kind = CorrectionKind::Reading;
    QString line; // the database's line name, or "*" for every line
    QString station; // the cleaned station name ("^" for an insert at the start)
    // For a branch: "last|junction|rejoin|new line name", the run from station to last cut
    // out into a line of its own that starts at the junction and ends at the rejoin station
    // (when there is one). For a suspended row: "from～to YYYY-MM reason".
    QString value;
    QString reason;
    int row = 0; // its line number in the table
};

struct ImportProblem
{
    QString where; // the line's name, or "corrections.tsv:12"
    QString what;
};

struct ImportInput
{
    QList<QJsonObject> lines; // the database's line objects, closed ones too
    QHash<int, QString> companies; // company_code → the operator's name
    QString tag; // the database's release, e.g. v20260529
    QList<Correction> corrections;
    // The database's track, by line code: its polyline's pieces. Without it no track is
    // checked or written.
    QHash<qint64, QList<QList<TrackPoint>>> tracks;
};

struct ImportedLine
{
    QString name;
    QString path; // relative: region/name.txt
    QString region;
    QStringList prefectures; // in the order the line meets them
    QList<qint64> stationCodes; // the database's station codes (0 for an inserted station)
    qint64 code = 0; // the database's line code, whose polyline holds the line's track
    bool loop = false;
    QList<TrackStation> stations; // names and positions, as written
};

struct ImportFile
{
    QString path; // relative to the library folder
    QByteArray bytes;
};

struct ImportResult
{
    QList<ImportFile> files; // sorted by path
    QList<ImportedLine> lines; // in the same order
    QList<ImportProblem> problems;
    // Each shipped line's way along the track from station to station, in the files' order,
    // when the input has tracks.
    QList<TrackLine> tracks;
};

// The whole conversion. Lines with problems that leave a file unwritable (no station, a name
// that code page 932 cannot hold) are left out; the others are written with their problems
// reported, so that they can be looked at.
ImportResult ImportLines(const ImportInput& input);

// The track of a line written by hand that runs over imported lines (its @経由, in running
// order): each station placed where the first of those lines that stops there places it, and
// joined along their track as an imported line is. A station none of them has, or a pair their
// track does not join, is a problem.
TrackLine ThroughServiceTrack(const QString& name, const QStringList& stations, bool loop,
                              const QStringList& runsOver, const ImportInput& input,
                              const ImportResult& result, QList<ImportProblem>* problems);

// The corrections table: "#" comment lines, then TAB-separated rows kind, line, station,
// value, reason. A malformed row is a problem and is left out.
QList<Correction> ParseCorrections(const QString& text, QList<ImportProblem>* problems);

// A CSV file with a header line and no quoted fields (as the database writes them): each row
// keyed by the header's column names.
QList<QHash<QString, QString>> ParseCsvTable(const QString& text);

// The station name as signed: full-width digits and Latin letters made ASCII, a bracketed
// aside at the end cut off into *note.
QString CleanStationName(const QString& original, QString* note);
// The reading without bracketed parts, "・" and blanks of either width.
QString CleanReading(const QString& kana);
// The library folder of a line: shinkansen for a 新幹線, else the region of the prefecture
// holding most of its stations (prefectures: one per station, in order, 0 for unknown).
QString LineRegion(const QString& lineName, const QList<int>& prefectures);
// 東京都 for 13; "" outside 1..47.
QString PrefectureName(int code);
// The 出典 line of every imported file.
QString ImportSourceLine(const QString& tag);
