// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record of every game played, kept under $XDG_DATA_HOME/tabidori in an SQLite database:
// one transaction per game (a crash or power cut leaves the old history or the new one), WAL
// and a busy timeout (a second copy of the program waits its turn instead of failing), and an
// integrity check at open (a history that cannot be read is moved aside, never overwritten).

#include "session.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// $XDG_DATA_HOME/tabidori, where the history lives.
QString HistoryFolder();

class History
{
public:
    enum class Opened { Ok, MovedAside, Unwritable };
    // What went wrong last; problem() has the details.
    enum class Failure {
        None,
        FolderUnwritable, // the folder cannot be made
        CannotOpen, // SQLite cannot open the file
        NotAHistory, // it opens but fails the integrity check, or is no database at all
        CannotMoveAside, // such a file could not be renamed
        CannotPrepare, // the tables, the indexes or WAL could not be set up
        WriteFailed, // a game could not be stored
    };

    History();
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // Opens (creating when needed) folder/history.sqlite. A file that is no readable history
    // is renamed history-broken-DATE.sqlite and a new one made (MovedAside, movedTo() says
    // where); a folder or file that cannot be written gives Unwritable (problem() says why).
    Opened open(const QString& folder = HistoryFolder());
    bool isOpen() const { return open_; }
    QString movedTo() const { return movedTo_; }
    QString problem() const { return problem_; }
    Failure failure() const { return failure_; }
    QString path() const { return path_; }

    // Stores one game, all or nothing.
    bool record(const GameRecord& game);
    LineStats stats(const QString& lineKey, std::int32_t mode) const;
    // The stations most often missed (wrong or timed out) in the line's games of the mode.
    QList<MissedStation> mostMissed(const QString& lineKey, std::int32_t mode, int limit) const;

private:
    void close();
    bool prepare();
    void fail(Failure why, const QString& detail);

    QString connection_;
    QString path_;
    QString movedTo_;
    QString problem_;
    Failure failure_ = Failure::None;
    bool open_ = false;
};
