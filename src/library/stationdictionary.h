// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station names and readings of the SKK station dictionary (Debian's skkdic-extra), used to
// check the readings of line files. Lines read "reading /name;note/name/"; the file is
// EUC-JIS-2004.

#include <QHash>
#include <QString>
#include <QStringList>

class StationDictionary
{
public:
    // Where the dictionary is installed: skk/SKK-JISYO.station in the system's data folders
    // (on Debian /usr/share/skk/SKK-JISYO.station); empty when it is not installed.
    static QString defaultPath();

    // Reads the dictionary; false when the file cannot be read.
    bool load(const QString& path = defaultPath());
    // Reads the dictionary from text already decoded (for tests).
    void loadText(const QString& text);

    bool isEmpty() const { return readings_.isEmpty(); }
    // The readings the dictionary gives a station name, sorted; empty when it does not know it.
    QStringList readingsOf(const QString& name) const;

    // The form names are compared in: ヶ and ヵ as ケ and カ, full-width ASCII as ASCII, a
    // trailing 駅 dropped.
    static QString fold(const QString& name);

private:
    QHash<QString, QStringList> readings_;
};
