// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record of every game played, kept under $XDG_DATA_HOME/tabidori in an SQLite database:
// one transaction per game (a crash or power cut leaves the old history or the new one), WAL
// and a busy timeout (a second copy of the program waits its turn instead of failing), and an
// integrity check at open (a history that cannot be read is moved aside, never overwritten).

#include "questionlog.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

struct GameRecord
{
    struct Answer
    {
        QString station;
        QString reading;
        Outcome outcome = Outcome::NotAsked;
        std::int32_t tenths = 0;
        std::int32_t hints = 0;
    };
    QDateTime when;
    QString lineKey;
    QString lineName;
    QString lineFile;
    std::int32_t mode = 0;
    bool retry = false; // over some stations of the line only
    bool completed = true; // false: stopped
    std::int32_t asked = 0;
    std::int32_t right = 0;
    double rate = 0.0;
    std::int32_t score = 0;
    QList<Answer> answers; // the questions asked, in running order
};

struct LineStats
{
    int games = 0;
    std::int32_t bestScore = 0;
    double bestRate = 0.0;
    QDateTime last;
};

struct MissedStation
{
    QString station;
    QString reading;
    int misses = 0;
};

// Names a line by its name and its stations, so that moving or renaming the file keeps its
// history together.
QString LineKey(const QString& lineName, const QStringList& stationsAndReadings);

// $XDG_DATA_HOME/tabidori, where the history lives.
QString HistoryFolder();

class History
{
public:
    enum class Opened { Ok, MovedAside, Unwritable };

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
    QString path() const { return path_; }

    // Stores one game, all or nothing.
    bool record(const GameRecord& game);
    LineStats stats(const QString& lineKey, std::int32_t mode) const;
    // The stations most often missed (wrong or timed out) in the line's games of the mode.
    QList<MissedStation> mostMissed(const QString& lineKey, std::int32_t mode, int limit) const;

private:
    void close();
    bool prepare();

    QString connection_;
    QString path_;
    QString movedTo_;
    QString problem_;
    bool open_ = false;
};
