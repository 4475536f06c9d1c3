// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history as the main window uses it: opened on first use, each game recorded, and what
// the player must hear about it (a history moved aside, one that cannot be kept, a game that
// could not be saved) told once per run, in Japanese, when the window is ready to say it.

#include "history.h"

#include <memory>

class HistoryKeeper
{
public:
    // The history in folder; empty: HistoryFolder() as it is at the first use.
    explicit HistoryKeeper(QString folder = {});
    ~HistoryKeeper();

    // The open history, or nullptr when it cannot be kept.
    History* get();
    // Stores a game; a failure is noted for the player (once per run) and in the log.
    bool record(const GameRecord& game);
    // The message waiting for the player, if any; it is given once.
    QString takeMessage();
    bool hasMessage() const { return !message_.isEmpty(); }

private:
    QString folder_;
    std::unique_ptr<History> history_;
    bool tried_ = false;
    bool writeFailureTold_ = false;
    QString message_;
};
