// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of the memory: today's review, the progress window, the share of each
// line known in 路線一覧, and the cards made again from the answers.
#include "frmmain.h"
#include "frmprogress.h"
#include "fsrs.h"
#include "lib_util.h"
#include "lineindex.h"
#include "panelstatusbar.h"
#include "stationtable.h"
#include "versioninfo.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>

namespace {

const QString kTodayMark = QStringLiteral("（今日の復習）");

void tell(const QString& text)
{
    platform::messageBox(text, platform::Buttons::Ok, platform::Icon::Information);
}

CardState stateOf(const StoredCard& c, QDate today)
{
    if (!c.lastRight)
        return CardState::Forgotten;
    if (c.due <= today)
        return CardState::Due;
    return c.stability >= kKnownStability ? CardState::Known : CardState::Learning;
}

} // namespace

QString frmMain::dueText()
{
    History* h = history_.get();
    const DueSummary due = h ? h->dueSummary(QDate::currentDate()) : DueSummary {};
    if (due.cards == 0)
        return {};
    return QStringLiteral("今日の復習 %1 問（%2 路線）: Ctrl+T").arg(due.cards).arg(due.lines);
}

QString frmMain::knownShareText(const QString& path)
{
    const LineIdentity line = identities_.of(path);
    if (line.key.isEmpty() || line.stations == 0 || !knownByLine_.contains(line.key))
        return {};
    return QStringLiteral("%1%").arg(knownByLine_.value(line.key) * 100 / line.stations);
}

void frmMain::refreshKnown()
{
    History* h = history_.get();
    knownByLine_ = h ? h->knownByLine(QDate::currentDate()) : QHash<QString, int> {};
}

// One line's due cards: the line loaded the way they were learnt, the stations played as a
// game of their own. False when the line cannot be had as it was (gone, or changed since).
void frmMain::adoptLoadedLine()
{
    History* h = history_.get();
    if (!h || gLineMeta.formerNames.isEmpty())
        return;
    QStringList stations;
    for (std::int32_t k = 0; k < gStationCount; ++k)
        stations << StationTable[gLineReversed ? gStationCount - 1 - k : k].StationName;
    if (h->adoptFormerLine(gLineMeta.formerNames, CurrentLineKey(), stations, gLineFilePath) > 0)
        refreshKnown();
}

bool frmMain::adoptMovedLines(History& h, const QList<DueLine>& due)
{
    QStringList gone;
    for (const DueLine& line : due) {
        if (!QFileInfo(line.lineFile).isFile())
            gone << line.lineName;
    }
    if (gone.isEmpty())
        return false;
    bool adopted = false;
    for (const IndexedLine& line : allLines()) {
        QStringList names;
        for (const QString& name : line.meta.formerNames) {
            if (gone.contains(name))
                names << name;
        }
        if (names.isEmpty())
            continue;
        QStringList keyed, stations;
        for (const IndexedStation& s : line.stations) {
            keyed << s.name + u',' + s.reading;
            stations << s.name;
        }
        adopted = h.adoptFormerLine(names, LineKey(line.name, keyed), stations, line.path) > 0
            || adopted;
    }
    return adopted;
}

bool frmMain::reviewLine(const DueLine& line)
{
    if (!QFileInfo(line.lineFile).isFile())
        return false;
    gLearning.reversed = line.reversed;
    gLineFilePath = line.lineFile;
    if (!LoadLineFile(gLineFilePath) || CurrentLineKey() != line.lineKey)
        return false;
    QList<MissedStation> stations;
    for (const StoredCard& c : line.cards)
        stations.append({c.station, c.reading, 0});
    const QList<int> entries = WeakEntries(stations, line.mode);
    if (entries.isEmpty())
        return false;
    cmbGameMode->setCurrentIndex(line.mode);
    PlaySubset(entries, kTodayMark);
    return true;
}

void frmMain::mnuTodayReview_Click()
{
    if (GameRunning() || SubsetScope::active())
        return;
    History* h = history_.get();
    if (!h) {
        tell(QStringLiteral("遊んだ記録が使えないので、今日の復習はできません。"));
        return;
    }
    QList<DueLine> due = h->dueLines(QDate::currentDate());
    if (adoptMovedLines(*h, due))
        due = h->dueLines(QDate::currentDate());
    if (due.isEmpty()) {
        tell(QStringLiteral("今日の復習はもうありません。"));
        return;
    }
    // The player's line, mode and direction come back afterwards; none of it is kept.
    const QString before = gLineFilePath;
    const std::int32_t mode = gGameMode;
    const bool reversed = gLearning.reversed;
    keepReady_ = false;
    int played = 0;
    QStringList missing;
    for (const DueLine& line : due) {
        if (reviewLine(line)) {
            ++played;
            if (platform::ending() || !lastCompleted_)
                break;
        } else {
            missing << line.lineName;
        }
    }
    if (platform::ending())
        return;
    gLearning.reversed = reversed;
    cmbGameMode->setCurrentIndex(mode);
    if (before.isEmpty() || !OpenLineFile(before))
        ForgetLineFile();
    keepReady_ = true;
    if (!missing.isEmpty())
        tell(QStringLiteral(
                 "次の路線は、路線ファイルが見つからないか変わったので復習できませんでした。"
                 "\r\n")
             + missing.join(QStringLiteral("\r\n")));
    if (const QString due = dueText(); !due.isEmpty())
        setPanel(QStringLiteral("Guide"), due);
}

void frmMain::mnuProgress_Click()
{
    if (GameRunning())
        return;
    History* h = history_.get();
    if (!h) {
        tell(QStringLiteral("遊んだ記録が使えないので、成績を表示できません。"));
        return;
    }
    frmProgress window(
        loadedLineProgress(h), libraryProgress(),
        [h](const QString& path, QString* why) { return h->exportCsv(path, why); }, this);
    window.exec();
}

LineProgress frmMain::loadedLineProgress(History* h)
{
    const QDate today = QDate::currentDate();
    LineProgress line;
    line.lineName = gLineName;
    line.symbol = gLineMeta.symbol;
    if (const QColor colour(gLineMeta.colour); colour.isValid())
        line.colour = colour;
    // 早打ち schedules nothing: its stations are shown as 読み当て knows them.
    line.mode = gGameMode == kModeEkiate ? kModeEkiate : kModeYomiate;
    line.loop = gLineLoop;
    const QString key = CurrentLineKey();
    QHash<QString, StoredCard> cards;
    QHash<QString, QList<Outcome>> outcomes;
    if (h) {
        for (const GameRecord& g : h->fullGames(key, gGameMode < 0 ? kModeYomiate : gGameMode))
            line.games.append({g.when, g.rate, g.score});
        for (const StoredCard& c : h->cardsOf(key, line.mode)) {
            if (c.reversed == gLineReversed || line.mode != kModeEkiate)
                cards.insert(c.station + u',' + c.reading, c);
        }
        outcomes = h->lastOutcomes(key, line.mode);
    }
    const fsrs::Parameters parameters;
    for (std::int32_t i = 0; i < gStationCount; ++i) {
        const QString id = StationTable[i].StationName + u',' + StationTable[i].Reading;
        StationProgress s;
        s.name = StationTable[i].StationName;
        s.reading = StationTable[i].Reading;
        s.number = ParseStationExtra(StationTable[i].Extra).numbers.join(u' ');
        if (const auto it = cards.constFind(id); it != cards.cend()) {
            s.state = stateOf(*it, today);
            s.due = it->due;
            s.recall
                = fsrs::Retrievability(double(std::max<qint64>(0, it->lastReview.daysTo(today))),
                                       it->stability, parameters);
        }
        s.lastAnswers = outcomes.value(id);
        line.stations.append(s);
    }
    return line;
}

LibraryProgress frmMain::libraryProgress()
{
    refreshKnown();
    LibraryProgress library;
    QList<LineRegion> regions = catalogue_.regions(libraryFolder());
    regions.append({QString(), QStringLiteral("マイ路線"), catalogue_.lines(UserLineFolder())});
    for (const LineRegion& region : regions) {
        RegionProgress r {region.title.isEmpty() ? QStringLiteral("その他") : region.title};
        for (const LineEntry& entry : region.lines) {
            const LineIdentity line = identities_.of(entry.path);
            r.stations += line.stations;
            r.known += std::min(line.stations, knownByLine_.value(line.key));
        }
        if (r.stations == 0)
            continue;
        library.regions.append(r);
        library.stations += r.stations;
        library.known += r.known;
    }
    if (History* h = history_.get())
        library.reviewsPerDay = h->answersPerDay();
    library.dailyGoal = gLearning.dailyGoal;
    library.streak = GoalStreak(library.reviewsPerDay, gLearning.dailyGoal, QDate::currentDate());
    return library;
}

void frmMain::mnuRebuildCards_Click()
{
    if (GameRunning())
        return;
    History* h = history_.get();
    if (!h || !h->rebuildCards()) {
        tell(QStringLiteral("学習の記録を作り直せませんでした。")
             + (h ? u'\n' + h->problem() : QString()));
        return;
    }
    tell(QStringLiteral("遊んだ記録の答えから、すべての駅の学習の記録を作り直しました。"));
    setPanel(QStringLiteral("Guide"), dueText());
}
