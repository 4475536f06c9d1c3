// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record of every game played, kept under $XDG_DATA_HOME/tabidori in an SQLite database:
// one transaction per game (a crash or power cut leaves the old history or the new one), WAL
// and a busy timeout (a second copy of the program waits its turn instead of failing). The
// file is marked as ours (application_id) with its schema version (user_version). Only a file
// that SQLite finds corrupt, that is no database, or that is some other program's database is
// moved aside, never overwritten; a busy, full, read-only or failing disk leaves it exactly as
// it is, to be tried again later. A history of a newer version is only read.

#include "session.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class QSqlError;

// $XDG_DATA_HOME/tabidori, where the history lives.
QString HistoryFolder();

class History
{
public:
    enum class Opened {
        Ok,
        MovedAside, // corrupt or no database: renamed history-broken-DATE.sqlite, a new one made
        ForeignMovedAside, // another program's database: history-foreign-DATE.sqlite, a new one
        Newer, // written by a newer version: open to read, never written
        Unavailable, // busy, full, read-only, failing: left as it is, try again later
        Unwritable, // the folder cannot be made, or a file cannot be moved aside
    };
    // What went wrong last; problem() has the details.
    enum class Failure {
        None,
        FolderUnwritable, // the folder cannot be made
        Busy, // another program holds the database (SQLite busy or locked)
        DiskFull,
        ReadOnly, // the file or its folder cannot be written
        IoError, // the disk failed a read or a write
        CannotOpen, // SQLite cannot open the file at all
        Corrupt, // an integrity check that ran and found problems, or SQLite says corrupt
        NotADatabase,
        Foreign, // a database, but not a history of ours
        Newer, // a history of a newer version: not written
        CannotMoveAside, // a corrupt or foreign file could not be renamed
        Other,
    };

    // The schema this program writes; a file with a higher user_version is only read.
    static constexpr int kSchemaVersion = 1;
    // "TBDR": what PRAGMA application_id holds in a history of ours.
    static constexpr int kApplicationId = 0x54424452;

    History();
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // Opens (creating when needed) folder/history.sqlite.
    Opened open(const QString& folder = HistoryFolder());
    bool isOpen() const { return open_; }
    // Open, but written by a newer version: never written to.
    bool isReadOnly() const { return readOnly_; }
    QString movedTo() const { return movedTo_; }
    QString problem() const { return problem_; }
    Failure failure() const { return failure_; }
    QString path() const { return path_; }
    // How long a write waits for another copy of the program (for tests).
    void setBusyTimeout(int ms);

    // Stores one game, all or nothing; a busy database is tried a few times.
    bool record(const GameRecord& game);
    LineStats stats(const QString& lineKey, std::int32_t mode) const;
    // The stations most often missed (wrong or timed out) in the line's games of the mode.
    QList<MissedStation> mostMissed(const QString& lineKey, std::int32_t mode, int limit) const;

    // The failure an SQLite result code stands for (primary or extended code).
    static Failure failureOfCode(int sqliteCode);
    // True for the failures that leave the file as it is and may pass (busy, full, ...).
    static bool passing(Failure f);

private:
    enum class Kind { Empty, Ours, Today, Newer, Foreign };

    void close();
    bool connect(bool readOnly);
    bool checkIntegrity();
    Kind identify();
    bool makeOrMark(Kind kind);
    bool moveAside(const QString& folder, const char* prefix);
    bool recordOnce(const GameRecord& game);
    void fail(Failure why, const QString& detail);
    void failFrom(const QSqlError& error, Failure fallback);

    QString connection_;
    QString path_;
    QString movedTo_;
    QString problem_;
    Failure failure_ = Failure::None;
    int busyTimeoutMs_ = 10000;
    bool open_ = false;
    bool readOnly_ = false;
};
