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

#include "card.h"
#include "session.h"
#include "settingsschema.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QSqlDatabase;
class QSqlError;

// The cards due on a line in one mode and direction, for today's review.
struct DueLine
{
    QString lineKey;
    QString lineName;
    QString lineFile; // where the line was last played from
    std::int32_t mode = 0;
    bool reversed = false;
    QList<StoredCard> cards;
};

struct DueSummary
{
    int cards = 0;
    int lines = 0;
};

// A line the learner is learning, in the learner's list.
struct LearningLine
{
    QString lineKey;
    QString lineName;
    QString lineFile;
};

// $XDG_DATA_HOME/tabidori, where the history lives.
QString HistoryFolder();

// A new game id: a random (version 4) UUID.
QString newUid();
// The same made by SQLite, for the games of a history of an earlier version.
inline constexpr const char* kNewUidSql
    = "lower(hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-4' || "
      "substr(hex(randomblob(2)), 2) || '-' || substr('89ab', 1 + (abs(random()) % 4), 1) || "
      "substr(hex(randomblob(2)), 2) || '-' || hex(randomblob(6)))";

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

    // The schema this program writes; a file with a higher user_version is only read. An older
    // one is brought up to it when opened, in one transaction.
    static constexpr int kSchemaVersion = 4;
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

    // The chance of recall at which a card falls due; used for the reviews recorded from now.
    void setRetention(double retention) { retention_ = retention; }
    double retention() const { return retention_; }
    // Every card made again from the answers kept, oldest game first, in one transaction.
    bool rebuildCards();
    // The games of a line once called by one of formerNames (kept under another key) become
    // games of lineKey, whose stations (by name, in file order) tell which way they ran; the
    // cards are made again; the games' file becomes lineFile. Returns the games moved, 0 when none,
    // -1 on failure.
    // True when some game under one of the names belongs to another line than lineKey: only then
    // can a former name move anything (an index on the name makes this cheap).
    bool hasGamesNamed(const QStringList& names, const QString& lineKey) const;
    int adoptFormerLine(const QStringList& formerNames, const QString& lineKey,
                        const QStringList& stations, const QString& lineFile);
    DueSummary dueSummary(QDate today) const;
    // The due cards by line, mode and direction, the line with the most first.
    QList<DueLine> dueLines(QDate today) const;
    // The cards of a line in a mode (links in both directions).
    QList<StoredCard> cardsOf(const QString& lineKey, std::int32_t mode) const;
    // The stations of the line most likely to be forgotten now, with that chance.
    QList<MissedStation> weakest(const QString& lineKey, std::int32_t mode, QDate today,
                                 int limit) const;
    // Known stations by line, as MakesStationKnown counts them.
    QHash<QString, int> knownByLine(QDate today) const;
    // The full games (completed, over the whole line) of a line in a mode, oldest first.
    QList<GameRecord> fullGames(const QString& lineKey, std::int32_t mode) const;
    // The last outcomes of each station of a line in a mode, most recent first (at most five),
    // keyed by StationKey.
    QHash<QString, QList<Outcome>> lastOutcomes(const QString& lineKey, std::int32_t mode) const;
    // Questions answered on each day.
    QMap<QDate, int> answersPerDay() const;
    // The days on which today's review was answered to the end (nothing due was left).
    QList<QDate> reviewClearedDays() const;
    bool markReviewCleared(QDate day);
    // Cards of a mode made on a day (their first review), over every line.
    int newCardsOn(QDate day, std::int32_t mode = kCardReading) const;
    // Cards of a line falling due on each day from `from` for `days` days (the overdue on the
    // first), both modes.
    QMap<QDate, int> dueForecast(const QString& lineKey, QDate from, int days) const;
    // The learner's list of lines, in order; setting it replaces it.
    QList<LearningLine> learningLines() const;
    bool setLearningLines(const QList<LearningLine>& lines);
    // Sharing the history between computers (journal.h). The id of this installation, stamped
    // on the games it plays; set before open() so that a migration stamps the games of old.
    void setInstallation(const QString& id) { installation_ = id; }
    // Games go to this folder now: when it is another one than before, every game played here
    // (by installation, or before any had an id) is to be written to it again.
    bool useSharedFolder(const QString& folder, const QString& installation);
    // Games played here and not yet in the shared journal, oldest first, at most limit.
    QList<GameRecord> unjournaledGames(int limit) const;
    bool markJournaled(const QStringList& uids);
    // Games of other installations: those not yet here (by id) are added in one transaction and
    // the cards they touch made again from all their answers in time order. The number added,
    // -1 on failure.
    int importGames(const QList<GameRecord>& games);
    int gameCount() const;
    // How much of a journal file has been read: its size then and the bytes taken.
    struct JournalMark
    {
        qint64 size = -1;
        qint64 consumed = 0;
        QString modified;
    };
    JournalMark journalMark(const QString& path) const;
    bool setJournalMark(const QString& path, const JournalMark& mark);
    // Every answer as a row of CSV, with its game; false and why when it cannot be written.
    bool exportCsv(const QString& path, QString* why) const;

    // The failure an SQLite result code stands for (primary or extended code).
    static Failure failureOfCode(int sqliteCode);
    // True for the failures that leave the file as it is and may pass (busy, full, ...).
    static bool passing(Failure f);

private:
    enum class Kind { Empty, Ours, Today, Newer, Foreign };

    void close();
    // Connects to the history, or to file when given (a copy of it).
    bool connect(bool readOnly, const QString& file = {});
    // A copy of the history and its journal, made in a folder of its own, to be read (and, for
    // a file not known to be ours, written) without touching the learner's file.
    QString copyOfHistory();
    bool checkIntegrity();
    bool readsAsDatabase();
    Kind identify();
    bool makeOrMark(Kind kind);
    bool moveAside(const QString& folder, const char* prefix);
    bool recordOnce(const GameRecord& game);
    // Inserts a game and its answers (in the caller's transaction); its row id, -1 on failure.
    qint64 insertGame(QSqlDatabase& db, const GameRecord& game, bool journaled);
    bool createSharing(QSqlDatabase& db);
    // Runs work in one write transaction: committed when it returns true, rolled back when it
    // returns false (having noted why) or when the commit fails (noted here).
    bool writeTransaction(const std::function<bool(QSqlDatabase&)>& work);
    // The cards of these lines (line key and mode) made again from their answers in time order.
    bool replayLines(QSqlDatabase& db, const QSet<QPair<QString, std::int32_t>>& lines);
    bool createCards(QSqlDatabase& db);
    bool migrate(QSqlDatabase& db);
    bool reviewCards(QSqlDatabase& db, const GameRecord& game);
    // The cards the game touches made again from all their answers in time order.
    bool replayCards(QSqlDatabase& db, const GameRecord& game);
    bool rebuildIn(QSqlDatabase& db);
    void fail(Failure why, const QString& detail);
    void failFrom(const QSqlError& error, Failure fallback);

    QString connection_;
    QString path_;
    std::unique_ptr<QTemporaryDir> copy_;
    QString movedTo_;
    QString problem_;
    Failure failure_ = Failure::None;
    int busyTimeoutMs_ = 10000;
    bool open_ = false;
    bool readOnly_ = false;
    int version_ = 0; // the file's schema version as found
    QString installation_; // this installation's id, stamped on the games played here
    double retention_ = setting::kRetention.fallback;
};
