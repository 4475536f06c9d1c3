// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamedriver.h"
#include "gamestate.h"
#include "kanalineedit.h"
#include "panelstatusbar.h"

#include <QApplication>
#include <QTest>

void TestWindow::drawPlate(std::int32_t index)
{
    frmMain::drawPlate(index);
    if (onPlate)
        onPlate(index);
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
    connect(&timer_, &QTimer::timeout, this, [this] { look(); });
    timer_.start(0);
}

void ScoreWatcher::look()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* score = qobject_cast<frmScoreList*>(top);
        if (!score || !score->isVisible())
            continue;
        if (score == handled_) {
            stuck = true;
            score->reject();
            continue;
        }
        ++opened;
        handled_ = score;
        if (onOpen_)
            onOpen_(*score);
        else
            score->accept();
    }
}
