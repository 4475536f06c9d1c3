// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Driving whole games through the real main window on the virtual clock: a window that tells
// when a plate is drawn, a player that answers by script, and a watcher for the score window.

#include "fakehost.h"
#include "frmmain.h"
#include "frmscorelist.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>

// The main window, telling the test when a plate is drawn: a new question begins.
class TestWindow : public frmMain
{
public:
    void drawPlate(std::int32_t index) override;
    std::function<void(std::int32_t)> onPlate;
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
// waits for ever.
class ScoreWatcher : public QObject
{
public:
    explicit ScoreWatcher(std::function<void(frmScoreList&)> onOpen = {});
    int opened = 0;
    bool stuck = false;

private:
    void look();

    std::function<void(frmScoreList&)> onOpen_;
    QPointer<frmScoreList> handled_;
    QTimer timer_;
};
