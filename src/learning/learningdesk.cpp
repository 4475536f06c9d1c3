// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "learningdesk.h"
#include "gamestate.h"
#include "grade.h"
#include "lesson.h"
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
        const QMap<QDate, int> due = h->dueForecast(key, today, kForecastDays);
        for (int d = 0; d < kForecastDays; ++d)
            line.forecast << due.value(today.addDays(d));
    }
    bool complete = true;
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
        // The line is complete on the day its last station got a card (in 駅当て the first
        // station of a line that does not run round is never asked).
        if (line.mode == kCardLink && !gLine.loop && i == 0)
            continue;
        const QDate made = cards.value(id).firstReview;
        complete = complete && made.isValid();
        line.completeSince = std::max(line.completeSince, made);
    }
    if (!complete || gStationCount == 0)
        line.completeSince = {};
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
    learningKeys_.clear();
    for (const LearningLine& line : h ? h->learningLines() : QList<LearningLine> {})
        learningKeys_.insert(line.lineKey);
}

QString LearningDesk::menuNote(const QString& path)
{
    const QString share = knownShareText(path);
    if (!learningKeys_.contains(library_.whole(path).key))
        return share;
    return share.isEmpty() ? QStringLiteral("学習中") : QStringLiteral("学習中 ") + share;
}

namespace {

// The former names no other line of the library has today (a line's own name stands for an
// earlier file of it).
QStringList gone(const QStringList& formerNames, const QList<IndexedLine>& lines,
                 const QString& ownName)
{
    QStringList out = formerNames;
    for (const IndexedLine& line : lines) {
        if (line.name != ownName)
            out.removeAll(line.name);
    }
    return out;
}

} // namespace

int LearningDesk::adoptLoadedLine(QStringList* names)
{
    History* h = history_.get();
    if (!h || gLine.meta.formerNames.isEmpty())
        return 0;
    // Most loads find no game under a former name (they moved long ago): the library is not
    // read for them.
    if (!h->hasGamesNamed(gLine.meta.formerNames, CurrentLineKey()))
        return 0;
    const QStringList former = gone(gLine.meta.formerNames, library_.all(), gLineName);
    if (former.isEmpty())
        return 0;
    QStringList stations;
    for (std::int32_t k = 0; k < gStationCount; ++k)
        stations << StationTable[gLine.reversed ? gStationCount - 1 - k : k].StationName;
    const int moved = h->adoptFormerLine(former, CurrentLineKey(), stations, gLineFilePath);
    if (names)
        *names = former;
    return std::max(0, moved);
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
    const QList<IndexedLine>& lines = library_.all();
    for (const IndexedLine& line : lines) {
        QStringList names;
        for (const QString& name : ::gone(line.meta.formerNames, lines, line.name)) {
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

namespace {

QSet<QString> keysOf(const QList<StoredCard>& cards, std::int32_t mode, bool reversed)
{
    QSet<QString> keys;
    for (const StoredCard& c : cards) {
        if (mode != kCardLink || c.reversed == reversed)
            keys.insert(c.id().key());
    }
    return keys;
}

} // namespace

LessonPlan LearningDesk::planLesson(int perDay, QDate today)
{
    LessonPlan plan;
    History* h = history_.get();
    if (!h || gStationCount == 0)
        return plan;
    const CardMode mode = CardModeFor(gGameMode);
    plan.allowedToday = NewAllowedToday(perDay, h->newCardsOn(today, mode));
    QList<StationId> stations;
    for (std::int32_t i = 0; i < gStationCount; ++i)
        stations.append({StationTable[i].StationName, StationTable[i].Reading});
    const QString key = CurrentLineKey();
    const QSet<QString> readings = keysOf(h->cardsOf(key, kCardReading), kCardReading, false);
    if (mode == kCardReading) {
        plan.asked = NewStations(stations, readings, plan.allowedToday);
        plan.entries = plan.asked;
        return plan;
    }
    const QSet<QString> links = keysOf(h->cardsOf(key, kCardLink), kCardLink, gLine.reversed);
    plan.asked = NewLinks(stations, gLine.loop, readings, links, plan.allowedToday);
    for (const int j : plan.asked)
        plan.entries << PreviousEntry(j) << j;
    std::sort(plan.entries.begin(), plan.entries.end());
    plan.entries.erase(std::unique(plan.entries.begin(), plan.entries.end()), plan.entries.end());
    return plan;
}

DailyQueue LearningDesk::dailyQueue(int perDay, int reviewLimit, QDate today)
{
    DailyQueue queue;
    History* h = history_.get();
    if (!h)
        return queue;
    const DueSummary due = h->dueSummary(today);
    queue.due = std::min(due.cards, reviewLimit);
    queue.waiting = due.cards - queue.due;
    queue.dueLines = due.lines;
    const int allowed = NewAllowedToday(perDay, h->newCardsOn(today));
    if (allowed == 0)
        return queue;
    for (const LearningLine& line : h->learningLines()) {
        if (!QFileInfo(line.lineFile).isFile())
            continue;
        const CachedLineFile& file = library_.whole(line.lineFile);
        if (file.key.isEmpty())
            continue;
        QList<StationId> stations;
        for (const IndexedStation& s : file.stations)
            stations.append({s.name, s.reading});
        const QSet<QString> readings
            = keysOf(h->cardsOf(file.key, kCardReading), kCardReading, false);
        if (const int n = int(NewStations(stations, readings, allowed).size()); n > 0) {
            queue.newStations = n;
            queue.newLine = line.lineName;
            queue.newLineFile = line.lineFile;
            break;
        }
    }
    return queue;
}

QList<DueLine> LearningDesk::todayReview(int reviewLimit, QDate today, int* waiting)
{
    History* h = history_.get();
    QList<DueLine> lines = h ? h->dueLines(today) : QList<DueLine> {};
    QList<StoredCard> all;
    for (const DueLine& line : lines)
        all += line.cards;
    const QList<StoredCard> kept = WithinReviewLimit(all, reviewLimit, today, waiting);
    if (kept.size() == all.size())
        return lines;
    QSet<QString> keep;
    for (const StoredCard& c : kept)
        keep.insert(c.lineKey + u'\n' + QString::number(c.mode) + u'\n' + c.id().key()
                    + (c.reversed ? QStringLiteral(",r") : QString()));
    QList<DueLine> out;
    for (DueLine line : lines) {
        QList<StoredCard> cards;
        for (const StoredCard& c : line.cards) {
            if (keep.contains(c.lineKey + u'\n' + QString::number(c.mode) + u'\n' + c.id().key()
                              + (c.reversed ? QStringLiteral(",r") : QString())))
                cards << c;
        }
        if (cards.isEmpty())
            continue;
        line.cards = cards;
        out << line;
    }
    std::stable_sort(out.begin(), out.end(), [](const DueLine& a, const DueLine& b) {
        return a.cards.size() > b.cards.size();
    });
    return out;
}

void LearningDesk::joinLearningList()
{
    History* h = history_.get();
    if (!h || gStationCount == 0)
        return;
    QList<LearningLine> lines = h->learningLines();
    const QString key = CurrentLineKey();
    for (const LearningLine& line : lines) {
        if (line.lineKey == key)
            return;
    }
    lines.append({key, SubsetScope::active() ? SubsetScope::active()->baseName() : gLineName,
                  gLineFilePath});
    h->setLearningLines(lines);
}

QSet<QString> LearningDesk::learningPaths(const QList<IndexedLine>& lines)
{
    QSet<QString> keys, paths;
    if (History* h = history_.get()) {
        for (const LearningLine& line : h->learningLines())
            keys.insert(line.lineKey);
    }
    for (const IndexedLine& line : lines) {
        if (!keys.isEmpty() && keys.contains(library_.whole(line.path).key))
            paths.insert(line.path);
    }
    return paths;
}

QString AdoptedText(LearningDesk& desk)
{
    QStringList names;
    const int moved = desk.adoptLoadedLine(&names);
    if (moved <= 0)
        return {};
    return QStringLiteral("「%1」として遊んだ %2 ゲームを、この路線の記録に移しました。")
        .arg(names.join(QStringLiteral("」「")))
        .arg(moved);
}

QString LearningDesk::fileOfLine(const QString& path, const QString& lineKey)
{
    if (QFileInfo(path).isFile())
        return path;
    for (const IndexedLine& line : library_.all()) {
        if (library_.whole(line.path).key == lineKey)
            return line.path;
    }
    return {};
}
