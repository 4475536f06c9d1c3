// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Driving whole games through the real main window on the virtual clock: a window that tells
// when a plate is drawn and a sound is asked for, a player that answers by script, and a
// watcher for the score window. The benchmark drives its games with them too.

#include "fakehost.h"
#include "frmmain.h"
#include "frmscorelist.h"

#include <QPointer>
#include <QStringList>
#include <functional>
#include <map>

// The main window, telling the test when a plate is drawn (a new question begins) and when a
// sound is asked for.
class TestWindow : public frmMain
{
public:
    void drawPlate(std::int32_t index) override;
    void playSound(int sound) override;
    std::function<void(std::int32_t)> onPlate; // once the plate is drawn
    std::function<void(int)> onSound; // before the sound is played
};

// What the player does in one question: type text and press Enter during tick `tick` (1 is
// the first tenth of a second, so the answer is judged with 101 - tick tenths left).
struct ScriptedAnswer
{
    int tick;
    QString text;
    bool romaji = false; // typed as real key presses instead of put into the box at once
};

// A player who follows a script question by question (keyed by the station on the plate), and
// who may answer every other question right at a fixed tick.
class Player
{
public:
    Player(FakeHost& host, TestWindow& w);

    void answer(const QString& text, bool romaji = false);

    std::map<int, ScriptedAnswer> script;
    int answerTick = 0; // answers questions without a script right at this tick; 0: never
    std::function<void(int station, int tick)> onTick;
    std::function<void(int ms)> onAnyWait; // after every wait, sound waits included
    QStringList times; // the "Time" panel at each tick, before the tick's countdown step
    int plates = 0;
    int waits = 0;

private:
    TestWindow& w_;
    int station_ = -1;
    int tick_ = 0;
};

// Handles the score window as soon as it opens (closes it unless told otherwise). A window
// still open after it was handled is closed here and noted, so that a test fails rather than
// waits for ever. It watches for the window being shown rather than polling, so it costs
// nothing while a question waits on the real clock.
class ScoreWatcher : public QObject
{
public:
    explicit ScoreWatcher(std::function<void(frmScoreList&)> onOpen = {});
    int opened = 0;
    bool stuck = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void look(QPointer<frmScoreList> score);
    void lookLater(QPointer<frmScoreList> score);

    std::function<void(frmScoreList&)> onOpen_;
    QPointer<frmScoreList> handled_;
};
