// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of the memory: today's review, the progress window, the map, and the
// cards made again from the answers. What they show comes from the learning desk.
#include "frmmain.h"
#include "frmmap.h"
#include "frmprogress.h"
#include "progresstext.h"
#include "routelayout.h"
#include "stationtable.h"

#include <QComboBox>
#include <QFileInfo>

namespace {

const QString kTodayMark = QStringLiteral("（今日の復習）");

void tell(const QString& text)
{
    platform::messageBox(text, platform::Buttons::Ok, platform::Icon::Information);
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

// One line's due cards: the line loaded the way they were learnt, the stations played as a
// game of their own. False when the line cannot be had as it was (gone, or changed since).
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
    // Exactly the due cards are asked; a miss comes back at the end until it is right once.
    PlaySubset(entries, kTodayMark, {AskedEntries(stations), true});
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
    if (desk_.adoptMovedLines(due))
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
    QStringList missing;
    int asked = 0, right = 0;
    for (const DueLine& line : due) {
        if (!reviewLine(line)) {
            missing << line.lineName;
            continue;
        }
        for (const ReviewRow& row : last_.rows) {
            asked += row.question && row.outcome != Outcome::NotAsked ? 1 : 0;
            right += row.question && row.outcome == Outcome::Right ? 1 : 0;
        }
        if (platform::ending() || !lastCompleted_)
            break;
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
    // What was done, and what comes: a review answered to the end meets the day's goal.
    const QDate today = QDate::currentDate();
    if (asked == 0 || !lastCompleted_) {
        if (const QString due = dueText(); !due.isEmpty())
            setPanel(QStringLiteral("Guide"), due);
        return;
    }
    if (h->dueSummary(today).cards == 0)
        h->markReviewCleared(today);
    const int tomorrow = h->dueSummary(today.addDays(1)).cards;
    setPanel(QStringLiteral("Guide"),
             QStringLiteral("今日の復習が終わりました（%1 問・正解 %2）。明日は %3 問です。")
                 .arg(asked)
                 .arg(right)
                 .arg(tomorrow));
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
    const QDate today = QDate::currentDate();
    frmProgress window(
        desk_.loadedLine(today), desk_.library(gLearning.dailyGoal, today),
        [h](const QString& path, QString* why) { return h->exportCsv(path, why); }, this);
    window.exec();
}

void frmMain::mnuMap_Click()
{
    if (GameRunning())
        return;
    MapInput input;
    input.lines = library_.all();
    if (gStationCount > 0 && !gLineFilePath.isEmpty()) {
        input.currentPath = QFileInfo(gLineFilePath).absoluteFilePath();
        for (const CardState s : desk_.loadedStatesInFileOrder(QDate::currentDate()))
            input.states.append(int(s));
    }
    input.paintDot = [](QPainter& p, QPointF centre, qreal radius, int state) {
        PaintStationDot(p, centre, radius, CardState(state));
    };
    for (const CardState s : {CardState::New, CardState::Learning, CardState::Known, CardState::Due,
                              CardState::Forgotten})
        input.legend.append({int(s), CardStateName(s)});
    // The dots are the cards of the mode chosen; 駅当て's are the line's order, and say so.
    if (gGameMode == kModeEkiate && !input.legend.isEmpty())
        input.legend.first().word.prepend(QStringLiteral("駅当て: "));
    input.lastView = mapView_;

    frmMap map(input, this);
    map.exec();
    mapView_ = map.canvas()->view();
    if (!map.chosenPath().isEmpty())
        OpenLineFile(map.chosenPath());
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
