// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A station as the game, the history and the library all know it: its name and its reading. Two
// stations of one name with different readings (上道 じょうとう and あがりみち) are two stations.

#include <QHashFunctions>
#include <QString>

struct StationId
{
    QString name;
    QString reading;

    // "name,reading": the one spelling of a station used as a key in the history, in line keys
    // and in maps.
    QString key() const { return name + u',' + reading; }
    friend bool operator==(const StationId&, const StationId&) = default;
};

inline QString StationKey(const QString& name, const QString& reading)
{
    return StationId {name, reading}.key();
}

inline size_t qHash(const StationId& id, size_t seed = 0)
{
    return qHashMulti(seed, id.name, id.reading);
}
