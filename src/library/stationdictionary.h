// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Station names and their readings, used to check the readings of line files. Two sources read
// into the same form: the SKK station dictionary (Debian's skkdic-extra; lines read
// "reading /name;note/name/", EUC-JIS-2004) and the station entries of ENAMDICT (Debian's
// enamdict; lines read "name [reading] /(st) English/", EUC-JP), whose katakana readings are
// kept in hiragana.

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

    // Where ENAMDICT is installed: edict/enamdict in the system's data folders (on Debian
    // /usr/share/edict/enamdict); empty when it is not installed.
    static QString enamdictDefaultPath();
    // Reads the station entries "(st)" of ENAMDICT, a trailing 駅 and えき dropped; false when
    // the file cannot be read or holds none.
    bool loadEnamdict(const QString& path = enamdictDefaultPath());

    bool isEmpty() const { return readings_.isEmpty(); }
    // The readings the dictionary gives a station name, sorted; empty when it does not know it.
    QStringList readingsOf(const QString& name) const;

    // The form names are compared in: ヶ and ヵ as ケ and カ, full-width ASCII as ASCII, a
    // trailing 駅 dropped.
    static QString fold(const QString& name);

private:
    void add(const QString& name, QString reading);
    void sortReadings();

    QHash<QString, QStringList> readings_;
};
