// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks a line file the way the game reads it: encoding, line ends, the name, the ### line,
// the number of stations, each station's name and reading, duplicates, each reading against
// the station dictionaries, the metadata (linemeta.h) and, where stations have positions, the
// path the line takes (linegeometry.h). CheckNetwork then looks across the files checked.
// Shared by tabidori-linecheck and the tests.

#include "linemeta.h"

#include <QList>
#include <QString>

class StationDictionary;
struct TrackAtlas;

// Stations the dictionaries do not know or know wrongly (a new station, a renaming), and
// stations of one operator that only share a name with another, each with the reason the
// reading is right all the same. One entry per line of a text file:
// path<TAB>station<TAB>reading<TAB>reason; "#" starts a comment line. An entry matches a file
// whose path ends with its path.
class LineExceptions
{
public:
    // False when the file cannot be read.
    bool load(const QString& path);
    void add(const QString& path, const QString& station, const QString& reading);
    bool covers(const QString& file, const QString& station, const QString& reading) const;
    // The entries no check has asked about since they were loaded ("path station reading"):
    // after the whole library is checked, entries that excuse nothing any more.
    QStringList unused() const;

private:
    struct Entry
    {
        QString path, station, reading;
        mutable bool used = false;
    };
    QList<Entry> entries_;
};

// Places on the map where a line really does what the path check takes for a mistake: a long
// stretch without a station, a line that turns back on itself. One entry per line:
// path<TAB>station<TAB>gap|back<TAB>reason; "#" starts a comment line. An entry matches a file
// whose path ends with its path, as for LineExceptions.
class LineKnownCases
{
public:
    // False, with why, when the file cannot be read or a row is not of that form.
    bool load(const QString& path, QString* why);
    void add(const QString& path, const QString& station, const QString& kind);
    bool covers(const QString& file, const QString& station, const QString& kind) const;
    QStringList unused() const { return rows_.unused(); }

private:
    LineExceptions rows_; // the kind where an exception has its reading
};

struct LineProblem
{
    enum class Severity { Error, Warning };
    int line = 0; // 1 is the line name; 0 for the whole file
    Severity severity = Severity::Error;
    QString what;
    QString dictionary; // the dictionary's readings, when it has something to say
    // No answer can be right for this station (no reading, or not hiragana only): the game
    // asks before playing such a line.
    bool unanswerable = false;
};

struct CheckedStation
{
    int line = 0;
    QString name, reading, extra;
    StationMeta meta; // what the third field says
};

struct LineCheck
{
    QString encoding; // "CP932", "UTF-8"
    QString lineName;
    bool loop = false; // the free text marks a loop line
    LineMeta meta; // what the free text says
    QList<CheckedStation> stations;
    QList<LineProblem> problems;

    int errors() const;
    void report(int line, const QString& what,
                LineProblem::Severity severity = LineProblem::Severity::Error,
                const QString& dictionary = {});
};

struct LineCheckOptions
{
    const StationDictionary* dictionary = nullptr;
    const LineExceptions* exceptions = nullptr;
    // A station the dictionary does not know is an error unless an exception names it.
    bool strict = false;
    // A second dictionary (ENAMDICT's stations): a reading either one gives is confirmed.
    const StationDictionary* enamdict = nullptr;
    const LineKnownCases* known = nullptr;
    // The library's track (trackfile.h): each next station must be one a train reaches.
    const TrackAtlas* track = nullptr;
    // The files checked are every line file of the library: a line that @経由 names must be
    // one of them.
    bool wholeLibrary = false;
};

LineCheck CheckLineFile(const QString& path, const LineCheckOptions& options = {});

struct CheckedLine
{
    QString path;
    LineCheck check;
};

struct NetworkProblem
{
    QString path;
    LineProblem problem;
};

// What no single file shows: two files of one line name, a station that two lines of one
// operator (@事業者) read differently, unless options.exceptions lists the reading, and (when
// options.wholeLibrary) an @経由 naming no line checked.
QList<NetworkProblem> CheckNetwork(const QList<CheckedLine>& lines,
                                   const LineCheckOptions& options = {});

// The problems of a check that make a station unanswerable, as lines "N 行目: what", at most
// limit of them and then how many more; empty when every station can be answered.
QStringList UnanswerableStations(const LineCheck& check, int limit = 10);

// True when the answer box can type text as it is: hiragana, ー and ASCII (katakana or a
// full-width letter could never be answered right).
bool AnswerableReading(const QString& text);
// True when text is hiragana only (ー and the iteration marks included), and not empty.
bool IsHiraganaReading(const QString& text);

// Writes a copy of the file beside it (name.filled.txt, never over an existing file) in which
// every station without a reading gets the dictionary's reading where it has exactly one. The
// copy keeps the file's encoding and line ends. Returns the stations filled, or -1 with why.
int FillReadings(const QString& path, const StationDictionary& dictionary, QString* written,
                 QString* why);
