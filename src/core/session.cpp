// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session.h"
#include "gameloop.h"
#include "gamestate.h"
#include "stationid.h"

#include <algorithm>

namespace {

const SubsetScope* current = nullptr;

QList<int> sortedUnique(QList<int> entries)
{
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
}

void fillTable(const std::vector<StationRecord>& from, const QList<int>& entries)
{
    ClearStationName();
    for (int k = 0; k < int(entries.size()); ++k) {
        const StationRecord& r = from[std::size_t(entries[k])];
        StationTable[k].StationName = r.StationName;
        StationTable[k].Reading = r.Reading;
        StationTable[k].Extra = r.Extra;
    }
    gStationCount = std::int32_t(entries.size());
}

} // namespace

bool TakeHint(QString& box)
{
    if (!QuestionAsked())
        return false;
    box = HintText(box, AskedReading());
    NoteHint(AskedEntry(gCurrentStation, gGameMode));
    gScore -= kHintCost;
    return true;
}

bool IsMiss(Outcome outcome)
{
    return outcome == Outcome::Wrong || outcome == Outcome::TimedOut;
}

bool LineNeighbour(std::int32_t entry, int step, QString* reading)
{
    const SubsetScope* subset = SubsetScope::active();
    if (!subset || entry < 0 || entry >= std::int32_t(gSubset.origin.size())) {
        const std::int32_t i = step > 0 ? NextEntry(entry) : PreviousEntry(entry);
        if (i < 0)
            return false;
        *reading = i < kStationTableSize ? StationTable[i].Reading : QString();
        return true;
    }
    const auto& whole = subset->whole();
    const std::int64_t size = std::int64_t(whole.size());
    std::int64_t i = std::int64_t(gSubset.origin[std::size_t(entry)]) + step;
    if (gLine.loop && size >= 2)
        i = (i + size) % size;
    if (i < 0)
        return false;
    *reading = i < size ? whole[std::size_t(i)].Reading : QString();
    return true;
}

QString CurrentLineKey()
{
    if (const SubsetScope* subset = SubsetScope::active())
        return subset->lineKey();
    // In the file's order whichever way the line is ridden: both directions are one line.
    QStringList stations;
    for (std::int32_t k = 0; k < gStationCount; ++k) {
        const std::int32_t i = gLine.reversed ? gStationCount - 1 - k : k;
        stations << StationKey(StationTable[i].StationName, StationTable[i].Reading);
    }
    return LineKey(gLineName, stations);
}

FinishedGame CollectGame(bool completed, const QDateTime& when)
{
    const SubsetScope* subset = SubsetScope::active();
    FinishedGame game;
    PlayedGame& played = game.played;
    played.valid = true;
    played.mode = gGameMode;
    played.lineKey = CurrentLineKey();
    played.lineName = gLineName;
    played.wholeCount = gSubset.origin.empty() ? gStationCount : gSubset.wholeCount;
    played.loop = gLine.loop;
    GameRecord& record = game.record;
    record.when = when;
    record.lineKey = played.lineKey;
    record.lineName = subset ? subset->baseName() : gLineName;
    record.lineFile = gLineFilePath;
    record.mode = gGameMode;
    record.retry = subset != nullptr;
    record.completed = completed;
    record.reversed = gLine.reversed;
    record.questionTenths = QuestionTenths();
    for (std::int32_t i = 0; i < gStationCount; ++i) {
        const QuestionResult& r = gQuestionLog[i];
        ReviewRow row {StationTable[i].StationName,
                       StationTable[i].Reading,
                       r.typed,
                       r.outcome,
                       true,
                       r.tenthsTaken,
                       r.hints};
        // In 駅当て a station is asked from the plate before it.
        row.question = EntryAsked(i, gGameMode);
        played.rows << row;
        played.origin << (gSubset.origin.empty() ? i : gSubset.origin[std::size_t(i)]);
        if (r.outcome == Outcome::NotAsked)
            continue;
        // A new station missed before its first right answer has no memory to review yet.
        record.answers << GameRecord::Answer {row.station, row.reading,
                                              r.outcome,   r.tenthsTaken,
                                              r.hints,     gSubset.lesson && IsMiss(r.outcome)};
        ++record.asked;
        record.right += r.outcome == Outcome::Right ? 1 : 0;
    }
    // Asked again after a miss: a miss again is a learning step, the right answer a review.
    for (const RelearnAnswer& a : gRelearnLog) {
        const QuestionResult& r = a.result;
        record.answers << GameRecord::Answer {StationTable[a.entry].StationName,
                                              StationTable[a.entry].Reading,
                                              r.outcome,
                                              r.tenthsTaken,
                                              r.hints,
                                              IsMiss(r.outcome)};
    }
    record.rate = record.asked > 0 ? double(record.right) / record.asked : 0.0;
    record.score = gScore;
    return game;
}

QList<int> RetryEntries(const PlayedGame& last)
{
    QList<int> entries;
    const bool pairs = last.mode == kModeEkiate;
    for (qsizetype i = 0; i < last.rows.size() && i < last.origin.size(); ++i) {
        const ReviewRow& row = last.rows[i];
        if (!row.question || !IsMiss(row.outcome))
            continue;
        const int j = last.origin[i];
        // On a loop line the first station is asked from the last one's plate.
        if (pairs && j == 0 && last.loop)
            entries << last.wholeCount - 1;
        else if (pairs && j > 0)
            entries << j - 1;
        entries << j;
    }
    return sortedUnique(entries);
}

QList<int> WeakEntries(const QList<MissedStation>& weak, std::int32_t mode)
{
    QList<int> entries;
    const bool pairs = mode == kModeEkiate;
    for (std::int32_t i = 0; i < gStationCount; ++i) {
        for (const MissedStation& s : weak) {
            if (StationTable[i].StationName != s.station || StationTable[i].Reading != s.reading)
                continue;
            // In 駅当て a station is asked from the one before it; the first is never asked,
            // unless the line runs round.
            const std::int32_t before = PreviousEntry(i);
            if (pairs && before >= 0)
                entries << before;
            if (!pairs || before >= 0)
                entries << i;
        }
    }
    return sortedUnique(entries);
}

QList<int> AskedEntries(const QList<MissedStation>& stations)
{
    QList<int> entries;
    for (std::int32_t i = 0; i < gStationCount; ++i) {
        for (const MissedStation& s : stations) {
            if (StationTable[i].StationName == s.station && StationTable[i].Reading == s.reading)
                entries << i;
        }
    }
    return sortedUnique(entries);
}

QList<int> RetryAsked(const PlayedGame& last)
{
    QList<int> entries;
    for (qsizetype i = 0; i < last.rows.size() && i < last.origin.size(); ++i) {
        if (last.rows[i].question && IsMiss(last.rows[i].outcome))
            entries << last.origin[i];
    }
    return sortedUnique(entries);
}

SubsetScope::SubsetScope(const QList<int>& entries, const QString& mark, const SubsetRules& rules)
    : whole_(StationTable.begin(), StationTable.begin() + gStationCount)
    , name_(gLineName)
    , key_(CurrentLineKey())
{
    QList<int> valid;
    for (const int e : entries) {
        if (e >= 0 && e < int(whole_.size()))
            valid << e;
    }
    fillTable(whole_, valid);
    gSubset.origin.assign(valid.begin(), valid.end());
    gSubset.wholeCount = std::int32_t(whole_.size());
    gSubset.asks.clear();
    if (!rules.asked.isEmpty()) {
        for (const int e : valid)
            gSubset.asks.push_back(rules.asked.contains(e));
    }
    gSubset.relearn = rules.relearn;
    gSubset.seeing = rules.seeing;
    gSubset.lesson = rules.lesson;
    gLineName = name_ + mark;
    current = this;
}

SubsetScope::~SubsetScope()
{
    QList<int> all;
    for (int i = 0; i < int(whole_.size()); ++i)
        all << i;
    fillTable(whole_, all);
    gLineName = name_;
    gSubset = {};
    // The results in the table and the log belonged to the subset.
    ClearScore();
    ClearQuestionLog();
    gStoppedAfter = -1;
    current = nullptr;
}

const SubsetScope* SubsetScope::active()
{
    return current;
}
