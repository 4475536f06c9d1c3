// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One game, from the start command to the terminus: questions, countdown, judging, points,
// sounds and the end grade. The loop runs inside the start command and keeps the window alive
// through its waits; the main window's handlers reach it only through gStopRequest, gScore and
// the text and tag of the answer box.

#include "soundnumber.h"

#include <QList>
#include <QString>
#include <cstdint>

// The moments a game makes a station's reading known to the player.
enum class Reveal {
    OnPlate, // the plate shows it (早打ち)
    Lesson, // a lesson shows a new station for the first time
    Right, // answered right
    Missed, // answered wrong or timed out: the correction's moment
};
// Whether the reading is spoken at that moment with 読み上げ set to `speech` (Speech).
bool SpeaksAt(Reveal moment, std::int32_t speech);

// What the game needs of the main window; the window shows and forwards, the game decides.
class GameFrontEnd
{
public:
    virtual ~GameFrontEnd() = default;

    virtual void setPanel(const QString& key, const QString& text) = 0;
    virtual QString answerText() const = 0;
    // What the box shows now, letters still waiting for their kana included: what a question
    // that ran out had typed.
    virtual QString answerSoFar() const { return answerText(); }
    virtual void setAnswerText(const QString& text) = 0;
    virtual QString answerTag() const = 0;
    virtual void setAnswerTag(const QString& tag) = 0;
    virtual void focusAnswer() = 0;
    // A game holds the start, line and score commands and the mode list until it ends.
    virtual void enterGameControls() = 0;
    virtual void drawTitle() = 0;
    virtual void drawPlate(std::int32_t index) = 0;
    virtual bool soundMayRing(int sound) const = 0;
    virtual void playSound(int sound) = 0;
    virtual void waitSound(int sound) = 0;
    // The stop command: asks the game to stop and gives the controls back.
    virtual void stopCommand() = 0;
    // Opens the score detail window and returns when it is closed.
    virtual void showScore() = 0;
    // The game has reached its terminus (completed) or noticed a stop; its results are final.
    virtual void gameOver(bool completed) { Q_UNUSED(completed); }
    // After a miss: the plate shows the right reading of the asked station (a table index)
    // marked as the correction, beside what was typed (after a time-out, what the box showed);
    // with retype, as the reading the player is now to type once.
    virtual void showCorrection(std::int32_t asked, const QString& typed, bool timedOut,
                                bool retype)
    {
        Q_UNUSED(asked);
        Q_UNUSED(typed);
        Q_UNUSED(timedOut);
        Q_UNUSED(retype);
    }
    // The reading of a table entry is now known to the player (see Reveal).
    virtual void readingShown(std::int32_t entry, Reveal moment)
    {
        Q_UNUSED(entry);
        Q_UNUSED(moment);
    }
    // The answer box refuses text (Enter still answers), or takes it again.
    virtual void lockAnswer(bool locked) { Q_UNUSED(locked); }
    // 打ち直し: the player is to type the right reading of the asked station once, unscored.
    virtual void askRetype(std::int32_t asked) { Q_UNUSED(asked); }
};

// Ticks of 100 ms a question gives the player as designed; the learning settings may give more.
inline constexpr std::int32_t kQuestionTenths = 100;
// Ticks of 100 ms a question gives with the learning settings in force.
std::int32_t QuestionTenths();
// Tenths left as the tenths they stand for in the designed time: with more time per question the
// points stay 0 to 10, so a share of the time left earns what the same share did in 10 seconds.
std::int32_t DesignTenths(std::int32_t remainTenths);
// Ticks of 100 ms the right reading stays on the plate after a miss, unless Enter goes on.
inline constexpr std::int32_t kCorrectionTenths = 20;
// Ticks the right reading has shown before an Enter may go on: an Enter sooner was meant for the
// question that has just ended.
inline constexpr std::int32_t kCorrectionFirmTenths = 5;

// Runs one game (or refuses it with a message) and returns when it is over.
void MainLoop(GameFrontEnd& ui);

// The start command: runs MainLoop unless a game is already running. A start given while one
// runs (after a stop the start command is enabled before the game has noticed it) is kept and
// run once the first game has returned, never inside it.
void StartGame(GameFrontEnd& ui);
// True while StartGame is running a game.
bool GameRunning();
// True while a question waits for its answer: not during the start and end sounds, nor between
// questions.
bool QuestionAsked();

// Points for an answer given with `remain` tenths left of the designed 10 seconds: seconds
// rounded, halves to even.
std::int32_t PointsFor(std::int32_t remainTenths);
// Tenths as seconds with one decimal ("9.9", "0.0", "-0.3").
QString FormatTenths(std::int32_t tenths);
// The number of questions a game on the loaded line asks in the current mode.
std::int32_t QuestionCount();
// The answer box after a hint: the first n + 1 characters of the asked reading.
QString HintText(const QString& boxText, const QString& reading);
// The order in which a game asks its plates: running order, or for a shuffled 読み当て a random
// one (each plate once).
QList<std::int32_t> PlateOrder(std::int32_t plates, std::int32_t mode);
// The reading the current question is about, "" past the table.
QString AskedReading();

// Where the answer row goes in a mode, in twips.
struct AnswerRow
{
    int boxLeft;
    int hintLeft;
    int hintVisible; // 1 shown, 0 hidden, -1 unchanged
};
AnswerRow ArrangeAnswerRow(std::int32_t mode, int innerWidth, int boxLeft, int boxWidth,
                           int plateLeft);
