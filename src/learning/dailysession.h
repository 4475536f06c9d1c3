// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The day's learning as games: today's review, line by line, and a lesson of new stations (seen
// and typed, then recalled). The rules of which stations and in what order live here; the main
// window only plays the games and shows what it is told (SessionHost).

#include "learningdesk.h"

#include <QString>

// What a session needs of the main window.
class SessionHost
{
public:
    virtual ~SessionHost() = default;
    // Plays one game over some entries of the loaded line; false when it did not reach its end
    // (stopped, or the program ends).
    virtual bool playSubset(const QList<int>& entries, const QString& mark,
                            const SubsetRules& rules)
        = 0;
    // The mode list set to a mode (and the answer row with it).
    virtual void selectMode(std::int32_t mode) = 0;
    // Loads a line as the line command does; false when it was refused.
    virtual bool openLine(const QString& path) = 0;
    // Back to no line.
    virtual void forgetLine() = 0;
    // The player is told, in a message box.
    virtual void tell(const QString& text) = 0;
    // The guide panel of the status bar.
    virtual void setGuide(const QString& text) = 0;
    // While false, the player's line and mode are not kept as the last ones used.
    virtual void keepChoices(bool keep) = 0;
    // The result of the last game played: questions asked and answered right.
    virtual std::pair<int, int> lastAskedAndRight() const = 0;
};

// What the status bar says of today: 「今日の復習 34 問・新しい駅 10（山手線）: Ctrl+T / Ctrl+N」,
// or "" when nothing waits.
QString DailyQueueText(const DailyQueue& queue);

class DailySession
{
public:
    DailySession(SessionHost& host, LearningDesk& desk, HistoryKeeper& history);

    // Today's review: every line's due cards in its own mode and direction, the line with the
    // most first, within the day's limit; exactly the due cards are asked and a miss comes back
    // until right once. The player's line, mode and direction come back afterwards.
    void todayReview();
    // A lesson of new stations on the loaded line, or on the next line of the learner's list
    // when the loaded one has none left: each seen and typed once, then recalled.
    void lesson();

private:
    enum class Played { Completed, Stopped, Missing };
    Played reviewLine(const DueLine& line);

    SessionHost& host_;
    LearningDesk& desk_;
    HistoryKeeper& history_;
};
