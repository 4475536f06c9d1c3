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
    QString name;
    QString reading;
    QString company;
    QString colour;
    QString symbol;
    bool loop = false;
    QList<Station> stations;
};

// Applies the rows that name this line (or every line); used[i] is set for each row that
// matched something. False when a row says the line is not shipped.
bool ApplyCorrections(Line& line, const QList<Correction>& corrections, QList<bool>& used,
                      QList<ImportProblem>& problems);

} // namespace lineimport
