// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lesson.h"

#include <algorithm>

QList<int> NewStations(const QList<StationId>& stations, const QSet<QString>& withCard, int limit)
{
    QList<int> out;
    QSet<QString> taken;
    for (int i = 0; i < stations.size() && out.size() < limit; ++i) {
        const QString key = stations[i].key();
        // A station that comes twice (a line that passes it again) is introduced once.
        if (withCard.contains(key) || taken.contains(key))
            continue;
        taken.insert(key);
        out << i;
    }
    return out;
}

QList<int> NewLinks(const QList<StationId>& stations, bool loop, const QSet<QString>& withReading,
                    const QSet<QString>& withLink, int limit)
{
    QList<int> out;
    const int n = int(stations.size());
    for (int j = 0; j < n && out.size() < limit; ++j) {
        const int before = j > 0 ? j - 1 : (loop && n >= 3 ? n - 1 : -1);
        if (before < 0)
            continue;
        const QString key = stations[j].key();
        if (withLink.contains(key) || !withReading.contains(key)
            || !withReading.contains(stations[before].key()))
            continue;
        out << j;
    }
    return out;
}

int NewAllowedToday(int perDay, int madeToday)
{
    return std::max(0, perDay - std::max(0, madeToday));
}

QList<StoredCard> WithinReviewLimit(QList<StoredCard> due, int limit, QDate today, int* waiting)
{
    if (waiting)
        *waiting = std::max(0, int(due.size()) - std::max(0, limit));
    if (due.size() <= limit)
        return due;
    std::stable_sort(due.begin(), due.end(), [today](const StoredCard& a, const StoredCard& b) {
        return RecallOf(a, today) < RecallOf(b, today);
    });
    return due.mid(0, std::max(0, limit));
}
