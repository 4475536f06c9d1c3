// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history as the main window uses it: opened on first use and tried again after a passing
// failure (busy, full, read-only, failing disk), every game recorded or kept pending in memory
// until it can be, and what the player must hear told once per cause, in Japanese, when the
// window is ready to say it.

#include "history.h"

#include <QSet>
#include <memory>

// How long a game's write waits for another copy's lock on the history, and the last try at
// the end of the program.
inline constexpr int kGameBusyTimeoutMs = 300;
inline constexpr int kEndBusyTimeoutMs = 3000;

class HistoryKeeper
{
public:
    // The history in folder; empty: HistoryFolder() as it is at the first use.
    explicit HistoryKeeper(QString folder = {});
    ~HistoryKeeper();

    // The open history (perhaps only readable), or nullptr when it cannot be had now.
    History* get();
    // Stores a game together with any still pending, oldest first; a game that cannot be
    // written stays pending. True when nothing is pending afterwards.
    bool record(const GameRecord& game);
    int pending() const { return int(pending_.size()); }
    // The chance of recall at which cards fall due, for the history now and when opened later.
    void setRetention(double retention);
    // The message waiting for the player, if any; it is given once.
    QString takeMessage();
    bool hasMessage() const { return !message_.isEmpty(); }
    // At the end of the program: a last try at the pending games; what is still unsaved is
    // lost, and the returned message says so and why ("" when nothing was lost).
    QString finish();

private:
    void tell(const QString& key, const QString& text);
    void tellOpened(History::Opened opened);
    // Why the history cannot be written, in a sentence; atEnd for the games lost at exit.
    QString reason(bool atEnd = false) const;
    bool flush();

    QString folder_;
    std::unique_ptr<History> history_;
    double retention_ = setting::kRetention.fallback;
    bool givenUp_ = false; // the folder cannot be made: no history this run
    QList<GameRecord> pending_;
    QSet<QString> told_;
    QString message_;
};
