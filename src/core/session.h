// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules around a game that are not the loop itself: what a hint costs, what a finished game
// leaves for the review and the history, the stations a retry or a practice plays, and the
// table swapped for such a game. The windows show and forward; the rules live here.

#include "questionlog.h"
#include "stationtable.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// Points a hint costs.
inline constexpr std::int32_t kHintCost = 3;

// A hint on the question being asked: box becomes one character more of the asked reading,
// the hint is noted on the question and costs kHintCost points. False, and nothing changes,
// when no question is being asked (a hint during the start or end sound would cost points with
// nothing to show for them).
bool TakeHint(QString& box);

// One station of a finished game as the review shows it.
struct ReviewRow
{
    QString station;
    QString reading; // the reading the question asked for
    QString typed;
    Outcome outcome = Outcome::NotAsked;
    bool question = true; // false: shown but never asked (the first station in 駅当て)
    std::int32_t tenths = 0;
    std::int32_t hints = 0;
};

// Wrong or timed out.
bool IsMiss(Outcome outcome);

// One game as the history keeps it.
struct GameRecord
{
    struct Answer
    {
        QString station;
        QString reading;
        Outcome outcome = Outcome::NotAsked;
        std::int32_t tenths = 0;
        std::int32_t hints = 0;
        // A learning step: asked again in the same session after a miss and missed again, or
        // missed before a new station's first right answer. Kept, but no review of the card.
        bool step = false;
    };
    QDateTime when;
    QString lineKey;
    QString lineName;
    QString lineFile;
    std::int32_t mode = 0;
    bool retry = false; // over some stations of the line only
    bool completed = true; // false: stopped
    bool reversed = false; // ridden from the terminus back
    std::int32_t questionTenths = 100; // the time a question gave
    std::int32_t asked = 0;
    std::int32_t right = 0;
    double rate = 0.0;
    std::int32_t score = 0;
    QList<Answer> answers; // the questions asked, in running order
    // Who wrote the game, where learners share their history between computers: an id of its
    // own, the installation that played it and its number there (empty and 0 until written).
    QString uid;
    QString installation;
    qint64 seq = 0;
};

// A line's record in one mode, as the history tells it. Only games played to the terminus over
// the whole line count as plays and may set a best; retries and practice over some stations, and
// stopped games, are counted apart.
struct LineStats
{
    int games = 0; // completed over the whole line
    std::int32_t bestScore = 0;
    double bestRate = 0.0;
    QDateTime last; // any game
    int practice = 0; // retries of misses and practice of the weakest stations
    int stopped = 0; // whole-line games stopped before the terminus
};

// A station and how often it was missed.
struct MissedStation
{
    QString station;
    QString reading;
    int misses = 0;
    double recall = -1.0; // the chance of recalling it now, when the history can tell (0 to 1)
};

// The reading of the station `step` (+1 the next, -1 the one before) from table entry `entry`
// on the line as it runs: on the whole line while some stations of it play, so that every plate
// shows its real neighbours. False where the line has no station there (before the first of a
// line that does not run round); past the last the reading is "" (the empty entry, as always).
bool LineNeighbour(std::int32_t entry, int step, QString* reading);

// The key of the loaded line; while a retry or practice plays, the key of the whole line.
QString CurrentLineKey();

// The last game, for the review and for choosing a retry.
struct PlayedGame
{
    bool valid = false;
    QString lineName; // as the game showed it, a retry's mark included
    QString lineKey; // the whole line's
    std::int32_t mode = 0;
    QList<ReviewRow> rows;
    QList<int> origin; // each row's index in the whole line
    int wholeCount = 0; // stations of the whole line
    bool loop = false; // the line runs round
};

struct FinishedGame
{
    PlayedGame played;
    GameRecord record;
};

// What the game that has just ended leaves: every station's row and the record of the
// questions asked, with its rate and score. Call it before the table changes again.
FinishedGame CollectGame(bool completed, const QDateTime& when);

// The stations a retry of the last game plays: each missed question's station (in 駅当て with
// the station before it), as indices into the whole line, in running order.
QList<int> RetryEntries(const PlayedGame& last);
// The stations a practice of the weakest ones plays on the loaded line in a mode.
QList<int> WeakEntries(const QList<MissedStation>& weak, std::int32_t mode);
// The entries of the loaded line whose reading these questions ask (what a retry, a practice or
// today's review asks; in 駅当て the entries before them are only shown).
QList<int> AskedEntries(const QList<MissedStation>& stations);
QList<int> RetryAsked(const PlayedGame& last);

// While it lives, the table holds some stations of the loaded line (a retry or a practice) and
// the line's name carries a mark; when it goes, by any way out of the game, the whole line is
// back and the subset's results are cleared.
// One at a time: a subset of a subset is not played.
// How a game over some stations asks them.
struct SubsetRules
{
    // Indices in the whole line of the stations whose reading is asked; empty: every question
    // the mode asks over the entries.
    QList<int> asked;
    bool relearn = false; // a miss is asked again until right once
    bool seeing = false; // a lesson's first pass: reading shown, no points, the longest time
    bool lesson = false; // new stations: a miss before the first right answer makes no card
};

class SubsetScope
{
public:
    SubsetScope(const QList<int>& entries, const QString& mark, const SubsetRules& rules = {});
    ~SubsetScope();
    SubsetScope(const SubsetScope&) = delete;
    SubsetScope& operator=(const SubsetScope&) = delete;

    // The scope in force, or nullptr while the whole line is loaded.
    static const SubsetScope* active();
    QString lineKey() const { return key_; }
    QString baseName() const { return name_; }
    // The whole line, as it was loaded.
    const std::vector<StationRecord>& whole() const { return whole_; }

private:
    std::vector<StationRecord> whole_;
    QString name_;
    QString key_;
};
