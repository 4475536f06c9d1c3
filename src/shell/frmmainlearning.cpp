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

QString frmMain::dueText()
{
    return DailyQueueText(
        desk_.dailyQueue(gLearning.newPerDay, gLearning.reviewLimit, QDate::currentDate()));
}

void frmMain::mnuTodayReview_Click()
{
    if (!GameRunning() && !SubsetScope::active())
        session_.todayReview();
}

void frmMain::mnuLesson_Click()
{
    if (!GameRunning() && !SubsetScope::active())
        session_.lesson();
}

bool frmMain::playSubset(const QList<int>& entries, const QString& mark, const SubsetRules& rules)
{
    PlaySubset(entries, mark, rules);
    return lastCompleted_ && !platform::ending();
}

void frmMain::selectMode(std::int32_t mode)
{
    cmbGameMode->setCurrentIndex(mode);
}

void frmMain::tell(const QString& text)
{
    platform::messageBox(text, platform::Buttons::Ok, platform::Icon::Information);
}

std::pair<int, int> frmMain::lastAskedAndRight() const
{
    int asked = 0, right = 0;
    for (const ReviewRow& row : last_.rows) {
        asked += row.question && row.outcome != Outcome::NotAsked ? 1 : 0;
        right += row.question && row.outcome == Outcome::Right ? 1 : 0;
    }
    return {asked, right};
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
    window.setSayReading(narrator_.sayer());
    window.exec();
}

void frmMain::mnuMap_Click()
{
    if (GameRunning())
        return;
    MapInput input;
    input.lines = library_.all();
    input.track = &library_.track();
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
