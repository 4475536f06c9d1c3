// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How new stations arrive, and how many cards a day may ask: a few new stations a day, seen
// before they are asked, and today's review kept to what a day can hold.

#include "card.h"

#include <QList>
#include <QSet>
#include <QString>

// The stations a lesson introduces: the first `limit` stations, in the order given (the line
// as it is ridden), whose reading has no card yet (`withCard` holds StationKey of those that
// have). Indices into `stations`.
QList<int> NewStations(const QList<StationId>& stations, const QSet<QString>& withCard, int limit);

// The links a lesson introduces once the readings are known: the first `limit` stations j, in
// the order given, whose link from the station before (the last, on a line that runs round) has
// no card while both stations have reading cards. Indices into `stations` of the stations asked.
QList<int> NewLinks(const QList<StationId>& stations, bool loop, const QSet<QString>& withReading,
                    const QSet<QString>& withLink, int limit);

// New stations still allowed today: the daily number less the cards already made today.
int NewAllowedToday(int perDay, int madeToday);

// Today's review within its limit: the cards least likely to be recalled now first; the rest
// wait for another day. `waiting` receives how many wait.
QList<StoredCard> WithinReviewLimit(QList<StoredCard> due, int limit, QDate today, int* waiting);
