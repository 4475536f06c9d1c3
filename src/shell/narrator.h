// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's voice: when a game makes a reading known it is spoken as 読み上げ asks,
// the repeat key (F6) says the last one again, and the windows that show a station (the review,
// 成績's route diagram, the finder) ask it to say theirs. The voice itself is speech::Speaker.

#include "gameloop.h"
#include "speakbutton.h"
#include "speaker.h"

#include <QObject>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QWidget;

class Narrator : public QObject
{
    Q_OBJECT
public:
    explicit Narrator(QObject* parent = nullptr);
    ~Narrator() override;

    // 読みを聞く (F6), added to a menu; greyed when the voice cannot speak.
    QAction* addTo(QMenu* menu);
    // A new line: with 読み上げ on, its readings are made in the background, in running order.
    void lineLoaded();
    // The game made a table entry's reading known: spoken when 読み上げ says so, and kept for
    // the repeat key.
    void readingShown(std::int32_t entry, Reveal moment);
    // Says a station's reading now (a window's key or button).
    void say(const QString& name, const QString& reading);
    // say, for the windows that show a station (a callable they keep while they are open);
    // none when the voice cannot speak, so that they show no button.
    SayReading sayer()
    {
        if (!unavailable().isEmpty())
            return {};
        return [this](const QString& name, const QString& reading) { say(name, reading); };
    }
    // Says the last reading the game made known again.
    void repeat();
    // "" when the voice can speak, else the one line that tells the player why not.
    QString unavailable();
    speech::Speaker& speaker();
    // Uses another voice setup from now on (tests).
    void setSetup(const speech::VoiceSetup& setup);

private:
    void prepareLine();

    std::unique_ptr<speech::Speaker> speaker_;
    QAction* action_ = nullptr; // 読みを聞く
    speech::Reading last_;
    bool prepared_ = false; // the loaded line's readings are queued
};
