// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A game without a main window: a front end that records what the game shows and plays, and a
// player who answers from a script on the fake host's virtual clock.

#include "fakehost.h"
#include "gameloop.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

class FakeFrontEnd : public GameFrontEnd
{
public:
    // What the player does on the plate of a station: asks for hints, then types text and
    // presses Enter at tick `tick` (1 is the first tenth of a second). No entry: no answer.
    struct Move
    {
        int tick = 1;
        QString text;
        int hints = 0; // taken at the first ticks, one a tick, before the text is typed
    };

    explicit FakeFrontEnd(FakeHost& host);

    void setPanel(const QString& key, const QString& text) override { panels[key] = text; }
    QString answerText() const override { return box; }
    void setAnswerText(const QString& text) override { box = text; }
    QString answerTag() const override { return tag; }
    void setAnswerTag(const QString& t) override { tag = t; }
    void focusAnswer() override { }
    void enterGameControls() override { ++gamesEntered; }
    void drawTitle() override { }
    void drawPlate(std::int32_t index) override;
    bool soundMayRing(int) const override { return true; }
    void playSound(int sound) override { sounds.push_back(sound); }
    void waitSound(int) override { }
    void stopCommand() override { ++stops; }
    void showScore() override { ++scores; }
    void gameOver(bool completed) override { over.push_back(completed); }

    std::map<int, Move> script; // by the plate's station index
    QMap<QString, QString> panels;
    QString box;
    QString tag;
    std::vector<int> sounds;
    std::vector<int> plates;
    std::vector<bool> over;
    int gamesEntered = 0;
    int stops = 0;
    int scores = 0;

private:
    void tick();

    int plate_ = -1;
    int tick_ = 0;
};
