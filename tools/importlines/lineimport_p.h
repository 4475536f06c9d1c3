// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The importer's working form of a line, shared by the conversion and the corrections.

#include "lineimport.h"

namespace lineimport {

struct Station
{
    QString source; // the cleaned name the database gives: what corrections name
    QString name;
    QString reading;
    StationMeta meta;
    int prefecture = 0; // 0: not known (an inserted station)
    qint64 code = 0; // 0: inserted
    bool inserted = false;
};

struct Line
{
    qint64 code = 0; // the database's line code: a branch cut out keeps its parent's
    QString name;
    QString reading;
    QString company;
    QString colour;
    QString symbol;
    bool loop = false;
    QStringList formerNames; // @旧名
    QList<SuspendedSection> suspended; // @運休
    QList<Station> stations;
};

// A branch row's value taken apart; false when it does not have its four parts.
struct BranchSpec
{
    QString last;
    QString junction;
    QString rejoin; // empty: the branch ends at its last station
    QString name;
};
bool ParseBranch(const QString& value, BranchSpec* out);

// Applies the rows that name this line (or every line); used[i] is set for each row that
// matched something. False when a row says the line is not shipped.
bool ApplyCorrections(Line& line, const QList<Correction>& corrections, QList<bool>& used,
                      QList<ImportProblem>& problems);

// Cuts out each run a branch row names into a line of its own, returned in the table's order;
// the rest of the line stays in line.
QList<Line> SplitBranches(Line& line, const QList<Correction>& corrections, QList<bool>& used,
                          QList<ImportProblem>& problems);

// The rows about the line as a whole that do not touch its stations (operator, former name,
// suspended section, and last a new name, the old one kept as a former name); applied to every
// line shipped, a branch cut out of another line too.
void ApplyLineRows(Line& line, const QList<Correction>& corrections, QList<bool>& used,
                   QList<ImportProblem>& problems);

} // namespace lineimport
