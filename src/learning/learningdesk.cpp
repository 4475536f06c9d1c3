// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "learningdesk.h"
#include "gamestate.h"
#include "grade.h"
#include "linemeta.h"
#include "session.h"
#include "stationtable.h"

#include <QFileInfo>

#include <algorithm>

LearningDesk::LearningDesk(HistoryKeeper& history, LineLibrary& library)
    : history_(history), library_(library)
{ }

LineProgress LearningDesk::loadedLine(QDate today)
{
    History* h = history_.get();
    LineProgress line;
    line.lineName = gLineName;
    line.symbol = gLine.meta.symbol;
    // The file gives it as #RRGGBB.
    bool ok = false;
    const uint rgb = gLine.meta.colour.mid(1).toUInt(&ok, 16);
    if (ok && gLine.meta.colour.size() == 7 && gLine.meta.colour.startsWith(u'#'))
        line.colour = 0xff000000u | rgb;
    line.mode = CardModeFor(gGameMode);
    line.loop = gLine.loop;
    const QString key = CurrentLineKey();
    QHash<QString, StoredCard> cards;
    QHash<QString, QList<Outcome>> outcomes;
    if (h) {
        for (const GameRecord& g : h->fullGames(key, gGameMode < 0 ? kModeYomiate : gGameMode))
            line.games.append({g.when, g.rate, g.score});
        // A link counts in the direction the line is ridden now.
        for (const StoredCard& c : h->cardsOf(key, line.mode)) {
            if (c.reversed == gLine.reversed || line.mode != kCardLink)
                cards.insert(c.id().key(), c);
        }
        outcomes = h->lastOutcomes(key, line.mode);
    }
    for (std::int32_t i = 0; i < gStationCount; ++i) {
        const QString id = StationKey(StationTable[i].StationName, StationTable[i].Reading);
        StationProgress s;
        s.name = StationTable[i].StationName;
        s.reading = StationTable[i].Reading;
        s.number = ParseStationExtra(StationTable[i].Extra).numbers.join(u' ');
        if (const auto it = cards.constFind(id); it != cards.cend()) {
            s.state = StateOf(*it, today);
            s.due = it->due;
            s.recall = RecallOf(*it, today);
        }
        s.lastAnswers = outcomes.value(id);
        line.stations.append(s);
    }
    return line;
}

QList<CardState> LearningDesk::loadedStatesInFileOrder(QDate today)
{
    QList<CardState> states;
    if (gStationCount == 0 || gLineFilePath.isEmpty())
        return states;
    QHash<QString, CardState> byStation;
    for (const StationProgress& s : loadedLine(today).stations)
        byStation.insert(StationKey(s.name, s.reading), s.state);
    for (const IndexedStation& s : library_.whole(gLineFilePath).stations)
        states.append(byStation.value(StationKey(s.name, s.reading), CardState::New));
    return states;
}

LibraryProgress LearningDesk::library(int dailyGoal, QDate today)
{
    refreshKnown(today);
    LibraryProgress library;
    for (const LineRegion& region : library_.regionsWithOwn()) {
        RegionProgress r {region.title.isEmpty() ? QStringLiteral("その他") : region.title};
        for (const LineEntry& entry : region.lines) {
            const CachedLineFile& file = library_.whole(entry.path);
            if (file.key.isEmpty())
                continue;
            const int stations = int(file.stations.size());
            r.stations += stations;
            r.known += std::min(stations, knownByLine_.value(file.key));
        }
        if (r.stations == 0)
            continue;
        library.regions.append(r);
        library.stations += r.stations;
        library.known += r.known;
    }
    QList<QDate> cleared;
    if (History* h = history_.get()) {
        library.reviewsPerDay = h->answersPerDay();
        cleared = h->reviewClearedDays();
    }
    library.dailyGoal = dailyGoal;
    library.reviewCleared = cleared;
    library.streak = GoalStreak(library.reviewsPerDay, dailyGoal, today, cleared);
    return library;
}

QString LearningDesk::knownShareText(const QString& path)
{
    const CachedLineFile& file = library_.whole(path);
    if (file.key.isEmpty() || file.stations.isEmpty() || !knownByLine_.contains(file.key))
        return {};
    return QStringLiteral("%1%").arg(knownByLine_.value(file.key) * 100 / file.stations.size());
}

void LearningDesk::refreshKnown(QDate today)
{
    History* h = history_.get();
    knownByLine_ = h ? h->knownByLine(today) : QHash<QString, int> {};
}

bool LearningDesk::adoptLoadedLine()
{
    History* h = history_.get();
    if (!h || gLine.meta.formerNames.isEmpty())
        return false;
    QStringList stations;
    for (std::int32_t k = 0; k < gStationCount; ++k)
        stations << StationTable[gLine.reversed ? gStationCount - 1 - k : k].StationName;
    return h->adoptFormerLine(gLine.meta.formerNames, CurrentLineKey(), stations, gLineFilePath)
        > 0;
}

bool LearningDesk::adoptMovedLines(const QList<DueLine>& due)
{
    History* h = history_.get();
    QStringList gone;
    for (const DueLine& line : due) {
        if (!QFileInfo(line.lineFile).isFile())
            gone << line.lineName;
    }
    if (!h || gone.isEmpty())
        return false;
    bool adopted = false;
    for (const IndexedLine& line : library_.all()) {
        QStringList names;
        for (const QString& name : line.meta.formerNames) {
            if (gone.contains(name))
                names << name;
        }
        if (names.isEmpty())
            continue;
        QStringList keyed, stations;
        for (const IndexedStation& s : line.stations) {
            keyed << StationKey(s.name, s.reading);
            stations << s.name;
        }
        adopted = h->adoptFormerLine(names, LineKey(line.name, keyed), stations, line.path) > 0
            || adopted;
    }
    return adopted;
}
