// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamedriver.h"
#include "gamestate.h"
#include "kanalineedit.h"
#include "panelstatusbar.h"

#include <QApplication>
#include <QEvent>
#include <QTest>
#include <QTimer>

void TestWindow::drawPlate(std::int32_t index)
{
    frmMain::drawPlate(index);
    if (onPlate)
        onPlate(index);
}

void TestWindow::playSound(int sound)
{
    if (onSound)
        onSound(sound);
    frmMain::playSound(sound);
}

Player::Player(FakeHost& host, TestWindow& w) : w_(w)
{
    w.onPlate = [this](std::int32_t index) {
        ++plates;
        station_ = index;
        tick_ = 0;
    };
    host.onWait = [this](int ms) {
        ++waits;
        if (onAnyWait)
            onAnyWait(ms);
        // Only the 100 ms ticks of a question count; sound waits are shorter.
        if (ms < 100 || !GameRunning())
            return;
        ++tick_;
        times.push_back(w_.sbStatusBar->panelText("Time"));
        if (onTick)
            onTick(station_, tick_);
        if (platform::ending() || gStopRequest == -1)
            return;
        const auto it = script.find(station_);
        if (it != script.end()) {
            if (it->second.tick == tick_)
                answer(it->second.text, it->second.romaji);
        } else if (tick_ == answerTick) {
            answer(AskedReading());
        }
    };
}

void Player::answer(const QString& text, bool romaji)
{
    if (romaji)
        QTest::keyClicks(w_.txtKaitou, text);
    else
        w_.txtKaitou->setText(text);
    QTest::keyClick(w_.txtKaitou, Qt::Key_Return);
}

ScoreWatcher::ScoreWatcher(std::function<void(frmScoreList&)> onOpen) : onOpen_(std::move(onOpen))
{
    qApp->installEventFilter(this);
}

bool ScoreWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        if (auto* score = qobject_cast<frmScoreList*>(watched))
            lookLater(score);
    }
    return false;
}

// Once the window's own event loop runs: closed while exec() is still showing it, the window
// would leave that loop waiting for ever.
void ScoreWatcher::lookLater(QPointer<frmScoreList> score)
{
    QTimer::singleShot(0, this, [this, score] { look(score); });
}

void ScoreWatcher::look(QPointer<frmScoreList> score)
{
    if (!score || !score->isVisible())
        return;
    if (score == handled_) {
        stuck = true;
        score->reject();
    } else {
        ++opened;
        handled_ = score;
        if (onOpen_)
            onOpen_(*score);
        else
            score->accept();
    }
    // Still open once events have been delivered again: stuck.
    lookLater(score);
}
