// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding a line in the library by what a learner remembers of it: its name in kanji or its
// reading in kana, its operator, a prefecture it runs through, or a station it stops at (by
// name or reading). Kana of either script match each other, full-width letters match ASCII, and
// romaji matches the readings as the answer box would type them.

#include "lineindex.h"

#include <QList>
#include <QString>
#include <QStringList>

// How a line matched, best first; a line is listed once, by its best match.
enum class FinderRank {
    Name, // the name or its reading exactly ("山手線", "やまのてせん" for JR山手線)
    NamePrefix, // the name or its reading begins with it ("やまのて")
    NameContains, // the name or its reading holds it
    // A through service (@経由) over a line found by its name: 京浜東北線 for "根岸線"
    ThroughService,
    Symbol, // the line's symbol ("JY")
    Station, // a station's name or reading exactly
    Operator, // the operator's name holds it
    Prefecture, // a prefecture's name holds it
    StationPrefix, // a station's name or reading begins with it
    StationContains, // a station's name or reading holds it
};

struct FinderHit
{
    int line = 0; // index into the lines the index was built from
    FinderRank rank = FinderRank::Name;
    int station = -1; // the station that matched, for the station ranks; else -1
};

struct FinderLine
{
    QStringList names; // the name, and without "JR" in front and the section in brackets
    QStringList readings; // the same for the reading
    QString symbol;
    QString operatorName;
    QStringList prefectures;
    QStringList stationNames;
    QStringList stationReadings;
    // Every station's name and reading between line breaks: one search of it tells whether any
    // station matches at all, which most lines' stations do not.
    QString stationText;
    QList<int> runBy; // the through services (@経由) that run over this line
};

// The lines in the form matching needs, built once when the finder opens.
struct FinderIndex
{
    QList<FinderLine> lines; // as given
    QList<int> order; // the lines north to south (by region), then by reading
};

FinderIndex BuildFinderIndex(const QList<IndexedLine>& lines);

// Text as the finder compares it: NFKC (full-width letters become ASCII), lower case, katakana
// as hiragana, blanks of either width removed.
QString FinderFold(const QString& text);

// The lines that match query, as typed or as kana from its romaji, best first, lines of one
// rank in the index's order; none for a query that is empty once folded.
QList<FinderHit> FindLines(const FinderIndex& index, const QString& query);
