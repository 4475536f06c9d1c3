// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window after a game: the history, the review, and games over some stations.
#include "frmmain.h"
#include "frmreview.h"
#include "lib_util.h"
#include "versioninfo.h"

#include <QAction>
#include <QPushButton>

void frmMain::gameOver(bool completed)
{
    // Keys typed from now on were meant for no question.
    closeAnswer(true);
    FinishedGame game = CollectGame(completed, QDateTime::currentDateTime());
    last_ = std::move(game.played);
    lastCompleted_ = completed;
    // Kept at once, while the score window may still be open (the program may be closed there).
    // A lesson's first pass only shows the stations: nothing of it is the learner's record.
    if (!gSubset.seeing)
        history_.record(game.record);
}

void frmMain::afterGame()
{
    const QString message = history_.takeMessage();
    if (!message.isEmpty())
        platform::messageBox(message, platform::Buttons::Ok, platform::Icon::Exclamation);
    mnuGameReview->setEnabled(last_.valid);
    if (reviewPending_) {
        reviewPending_ = false;
        mnuGameReview_Click();
    }
}

void frmMain::mnuGameReview_Click()
{
    if (!last_.valid || GameRunning())
        return;
    ReviewData data;
    data.lineName = last_.lineName;
    data.mode = last_.mode;
    data.rows = last_.rows;
    // The line file's own words, when the game reviewed is of the line still loaded.
    if (CurrentLineKey() == last_.lineKey)
        TakeLoadedLineWords(data);
    if (History* h = history_.get()) {
        data.historyKept = true;
        data.stats = h->stats(last_.lineKey, last_.mode);
        // 早打ち schedules nothing: its weak stations are those missed most.
        data.weak = last_.mode == kModeHayauchi
            ? h->mostMissed(last_.lineKey, last_.mode, 10)
            : h->weakest(last_.lineKey, last_.mode, QDate::currentDate(), 10);
    }
    if (history_.hasMessage())
        afterGame();
    frmReview review(data, this);
    review.setSayReading(narrator_.sayer());
    // Practice needs the stations on the loaded line, in the mode of the game reviewed.
    const bool sameLine
        = !SubsetScope::active() && CurrentLineKey() == last_.lineKey && gGameMode == last_.mode;
    review.cmdPractice->setEnabled(review.cmdPractice->isEnabled() && sameLine);
    review.cmdRetry->setEnabled(review.cmdRetry->isEnabled() && sameLine);
    review.exec();
    switch (review.choice()) {
    case frmReview::Choice::RetryMisses:
        PlaySubset(RetryEntries(last_), QStringLiteral("（再挑戦）"), {RetryAsked(last_)});
        break;
    case frmReview::Choice::PracticeWeak:
        PlaySubset(WeakEntries(data.weak, gGameMode), QStringLiteral("（苦手な駅）"),
                   {AskedEntries(data.weak)});
        break;
    case frmReview::Choice::Close:
        break;
    }
}

void frmMain::PlaySubset(const QList<int>& entries, const QString& mark, const SubsetRules& rules)
{
    if (entries.isEmpty() || SubsetScope::active() || GameRunning())
        return;
    const QString title = windowTitle();
    {
        const SubsetScope subset(entries, mark, rules);
        showLineCaption(mark);
        mnuGameStart_Click();
        if (platform::ending())
            return;
    }
    // The whole line is back; the subset's results went with it.
    setWindowTitle(title);
    mnuGameScore->setEnabled(false);
    afterGame();
}
