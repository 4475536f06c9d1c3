// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history as the main window uses it: opened on first use and tried again after a passing
// failure (busy, full, read-only, failing disk), every game recorded or kept pending in memory
// until it can be, and what the player must hear told once per cause, in Japanese, when the
// window is ready to say it.

#include "history.h"

#include <QSet>
#include <functional>
#include <memory>

class QFileSystemWatcher;
class QTimer;

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

    // Sharing the history with other computers through a folder kept in step by a sync tool
    // (journal.h): "" shares nothing. installation is this one's id. Set before the first use;
    // set again when the player chooses another folder (then shared at once).
    void setSharing(const QString& folder, const QString& installation);
    QString sharedFolder() const { return sharedFolder_; }
    // Our games not yet in our journal written to it, then the games of the other computers'
    // journals not yet here merged in. The number of games merged in (0 when none or when the
    // folder cannot be reached now: tried again after the next game or when it changes).
    int share();
    // Told when games of another computer came in while the program ran (the folder changed).
    std::function<void(int merged)> onMerged;
    // What the last share() found (for tests and the log).
    struct ShareReport
    {
        int written = 0; // our games written to our journal
        int merged = 0; // games of other computers taken in
        int files = 0; // journal files read (not unchanged since last time)
        int torn = 0; // lines not yet whole (or damaged)
        int newer = 0; // lines of a later version, skipped
        int malformed = 0;
        bool reachable = true;
    };
    ShareReport lastShare() const { return report_; }

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
    void watch();
    void tellUnreachable();
    void writeJournal(History& h);
    void readJournals(History& h);

    QList<GameRecord> pending_;
    QString sharedFolder_;
    QString installation_;
    ShareReport report_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
    std::unique_ptr<QTimer> settle_;
    QSet<QString> told_;
    QString message_;
};
