// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Figure 7: the history at a learner's scale. A made-up history of 20,000 games and 300,000
// answers, in a temporary folder, and what the program asks of it: start-up, recording a game,
// today's due cards, the progress window's questions, and rebuilding every card.

#include "card.h"
#include "dailysession.h"
#include "figures.h"
#include "frmprogress.h"
#include "history.h"
#include "historykeeper.h"
#include "journal.h"
#include "session.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <cmath>
#include <memory>
#include <random>

namespace bench {

namespace {

constexpr int kGames = 20000;
constexpr int kAnswersPerGame = 15;
constexpr int kLines = 100;
constexpr int kDays = 300;
// The game a player records in one go: a whole 30-station line in 読み当て.
constexpr int kRecordedAnswers = 30;
constexpr int kQuickRuns = 21;
constexpr int kRebuildRuns = 5;

constexpr double kStartupTargetMs = 20.0;
constexpr double kRecordTargetMs = 20.0;
constexpr double kDueTargetMs = 20.0;
// "Well within" the 300 ms the progress window may take: a third, the rest left to drawing.
constexpr double kProgressTargetMs = 100.0;
constexpr double kRebuildTargetMs = 5000.0;
constexpr double kWindowTargetMs = 300.0;
constexpr int kMergedGames = 10000;
constexpr int kMergeRuns = 3;
constexpr double kMergeTargetMs = 3000.0;
constexpr double kShareIdleTargetMs = 10.0;

struct MadeLine
{
    QString key;
    QString name;
    QString file;
    QStringList stations;
    QStringList readings;
};

// Lines of 15 to 60 made-up stations, names and readings varied as on real lines.
std::vector<MadeLine> makeLines()
{
    static const QString kanji = QStringLiteral("東西南北本新大中上下山川田町原宮島橋野台");
    static const QString kana = QStringLiteral("かきくけこさしすせそたちつてとなにぬねの");
    std::vector<MadeLine> lines;
    for (int l = 0; l < kLines; ++l) {
        MadeLine line;
        line.name = QStringLiteral("ベンチ%1線").arg(l + 1);
        line.file = QStringLiteral("/home/learner/lines/bench%1.txt").arg(l + 1);
        const int count = 15 + (l * 37) % 46;
        QStringList keyed;
        for (int s = 0; s < count; ++s) {
            const int i = l * 61 + s;
            QString name = QString(kanji[i % 20]) + kanji[(i / 20) % 20];
            if (i % 3 == 0)
                name += kanji[(i / 7) % 20];
            QString reading;
            for (int k = 0; k < 3 + i % 3; ++k)
                reading += kana[(i * 7 + k * 13) % 20];
            line.stations << name;
            line.readings << reading;
            keyed << StationKey(name, reading);
        }
        line.key = LineKey(line.name, keyed);
        lines.push_back(line);
    }
    return lines;
}

// Draws the games of a learner who plays some lines far more than others, mostly right, better
// as the days go by, and writes them through two prepared INSERTs.
class HistoryFiller
{
public:
    HistoryFiller(QSqlDatabase& db, const std::vector<MadeLine>& lines, QDate today)
        : games_(db), answers_(db), lines_(lines), today_(today)
    {
        games_.prepare(QStringLiteral(
            "INSERT INTO games (id, played_at, line_key, line_name, line_file, mode, retry, "
            "completed, asked, right_answers, rate, score, reversed, question_tenths) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 100)"));
        answers_.prepare(QStringLiteral("INSERT INTO answers (game_id, position, station, "
                                        "reading, outcome, seconds, hints) "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?)"));
    }

    bool add(int id);
    QString error() const { return games_.lastError().text() + u' ' + answers_.lastError().text(); }

private:
    double uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); }
    int answer(int id, int position, const MadeLine& line, int station, double pRight);

    QSqlQuery games_;
    QSqlQuery answers_;
    const std::vector<MadeLine>& lines_;
    QDate today_;
    std::mt19937 random_ {20261207};
    bool ok_ = true;
};

// Writes one answer; returns 1 when it was right, -1 with a hint taken, 0 otherwise.
int HistoryFiller::answer(int id, int position, const MadeLine& line, int station, double pRight)
{
    const double draw = uniform();
    const bool right = draw < pRight;
    const bool timedOut = !right && draw > pRight + (1.0 - pRight) * 2.0 / 3.0;
    const int hints = uniform() < 0.08 ? 1 : 0;
    const double seconds
        = timedOut ? 10.0 : std::round(((right ? 1.0 : 2.0) + 6.0 * uniform()) * 10.0) / 10.0;
    for (const QVariant& v : {QVariant(id), QVariant(position), QVariant(line.stations[station]),
                              QVariant(line.readings[station]),
                              QVariant(right          ? QStringLiteral("right")
                                           : timedOut ? QStringLiteral("timeout")
                                                      : QStringLiteral("wrong")),
                              QVariant(seconds), QVariant(hints)})
        answers_.addBindValue(v);
    ok_ = ok_ && answers_.exec();
    return right ? (hints ? -1 : 1) : 0;
}

bool HistoryFiller::add(int id)
{
    // About 67 games a day, from 7 o'clock on, ending yesterday.
    const int day = (id - 1) * kDays / kGames;
    const int ofDay = (id - 1) - day * kGames / kDays;
    const QDateTime when(today_.addDays(day - kDays), QTime(7, 0).addSecs(ofDay * 600));
    const double favour = uniform();
    const MadeLine& line = lines_[std::size_t(kLines * favour * favour)];
    const double m = uniform();
    const int mode = m < 0.2 ? 0 : m < 0.65 ? 1 : 2;
    const bool reversed = mode == 2 && uniform() < 0.5;
    const bool retry = uniform() < 0.1;
    const bool completed = retry || uniform() < 0.95;
    const int first = int(uniform() * line.stations.size());
    const double pRight = 0.72 + 0.2 * day / kDays;
    int right = 0;
    int hints = 0;
    for (int p = 0; p < kAnswersPerGame; ++p) {
        const int got = answer(id, p, line, (first + p) % line.stations.size(), pRight);
        right += got != 0;
        hints += got < 0;
    }
    for (const QVariant& v :
         {QVariant(id), QVariant(when.toString(Qt::ISODate)), QVariant(line.key),
          QVariant(line.name), QVariant(line.file), QVariant(mode), QVariant(retry ? 1 : 0),
          QVariant(completed ? 1 : 0), QVariant(kAnswersPerGame), QVariant(right),
          QVariant(double(right) / kAnswersPerGame), QVariant(right * 100 - hints * kHintCost),
          QVariant(reversed ? 1 : 0)})
        games_.addBindValue(v);
    ok_ = ok_ && games_.exec();
    return ok_;
}

// The history made by the History itself (its schema), filled in one transaction through a
// connection of the benchmark's own, then its cards made from the answers.
void makeHistory(const QString& folder, const std::vector<MadeLine>& lines, QDate today)
{
    History made;
    if (made.open(folder) != History::Opened::Ok)
        fail(QStringLiteral("cannot make a history in ") + folder + u' ' + made.problem());
    const QString name = QStringLiteral("bench-history-fill");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(made.path());
        if (!db.open() || !db.transaction())
            fail(QStringLiteral("cannot fill the history: ") + db.lastError().text());
        {
            HistoryFiller filler(db, lines, today);
            for (int id = 1; id <= kGames; ++id) {
                if (!filler.add(id))
                    fail(QStringLiteral("cannot fill the history: ") + filler.error());
            }
        }
        if (!db.commit())
            fail(QStringLiteral("cannot fill the history: ") + db.lastError().text());
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    // Each game its id, as the program gives them.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(made.path());
        QSqlQuery q(db);
        if (!db.open()
            || !q.exec(QStringLiteral("UPDATE games SET uid = %1, seq = id")
                           .arg(QLatin1String(kNewUidSql))))
            fail(QStringLiteral("cannot give the games their ids: ") + q.lastError().text());
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!made.rebuildCards())
        fail(QStringLiteral("cannot make the cards: ") + made.problem());
}

// A whole 30-station line in 読み当て, mostly right, as the window hands it over.
GameRecord recordedGame(const MadeLine& line, const QDateTime& when)
{
    GameRecord game;
    game.when = when;
    game.lineKey = line.key;
    game.lineName = line.name;
    game.lineFile = line.file;
    game.mode = 1;
    game.asked = kRecordedAnswers;
    for (int s = 0; s < kRecordedAnswers; ++s) {
        const Outcome outcome = s % 7 == 3 ? Outcome::Wrong : Outcome::Right;
        game.answers.append({line.stations[s], line.readings[s], outcome, 20 + s % 40, 0});
        game.right += outcome == Outcome::Right;
    }
    game.rate = double(game.right) / game.asked;
    game.score = game.right * 100;
    return game;
}

// One start-up as the program makes it: the history opened, today's due cards counted.
double startupOnce(const QString& folder, QDate today, int& dueCards)
{
    auto history = std::make_unique<History>();
    const double start = nowMs();
    if (history->open(folder) != History::Opened::Ok)
        fail(QStringLiteral("cannot open the history in ") + folder);
    dueCards = history->dueSummary(today).cards;
    return nowMs() - start; // closing is left out: the program closes it when it ends
}

QString range(const std::vector<double>& ms, int decimals)
{
    return QStringLiteral("median of %1 (range %2–%3 ms)")
        .arg(ms.size())
        .arg(fixed(minOf(ms), decimals), fixed(maxOf(ms), decimals));
}

Row timedRow(const QString& name, const std::vector<double>& ms, double targetMs,
             const QString& target, const QString& what)
{
    return Row {name, fixed(median(ms), 2) + QStringLiteral(" ms"), target,
                verdict(median(ms) <= targetMs), range(ms, 2) + QStringLiteral("; ") + what};
}

// The whole-file check History::open makes of every history before it uses it, on its own.
std::vector<double> integrityCheckMs(const QString& folder)
{
    const QString name = QStringLiteral("bench-history-check");
    std::vector<double> ms;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QDir(folder).filePath(QStringLiteral("history.sqlite")));
        if (!db.open())
            fail(QStringLiteral("cannot open the big history: ") + db.lastError().text());
        ms = timeRuns(kRebuildRuns, [&] {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next()
                || q.value(0).toString() != QLatin1String("ok"))
                fail(QStringLiteral("the big history fails its integrity check"));
        });
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ms;
}

// The start-up with the big history less the same with an empty one, in pairs taken in turn so
// that the load of the machine falls on both alike.
Row startupRow(const QString& big, const QString& empty, QDate today)
{
    std::vector<double> bigMs, emptyMs, extraMs;
    int due = 0;
    int none = 0;
    for (int i = 0; i < kQuickRuns; ++i) {
        emptyMs.push_back(startupOnce(empty, today, none));
        bigMs.push_back(startupOnce(big, today, due));
        extraMs.push_back(bigMs.back() - emptyMs.back());
    }
    if (due == 0 || none != 0)
        fail(QStringLiteral("start-up counted %1 due cards, %2 in the empty history")
                 .arg(due)
                 .arg(none));
    const std::vector<double> check = integrityCheckMs(big);
    return timedRow(
        QStringLiteral("7a. Start-up with the big history, beyond an empty one"), extraMs,
        kStartupTargetMs, QStringLiteral("at most 20 ms more"),
        QStringLiteral("History::open + dueSummary(today), taken in turn with an empty history: "
                       "%1 ms against %2 ms (%3 due cards); the PRAGMA integrity_check that "
                       "open runs only after a session that did not close the history, alone: "
                       "%4 ms (median of %5)")
            .arg(fixed(median(bigMs), 2), fixed(median(emptyMs), 2))
            .arg(due)
            .arg(fixed(median(check), 2))
            .arg(check.size()));
}

// What the status bar says at start-up: today's reviews within the day's limit and the new
// stations of the line being learnt (its file read once, as at start-up).
Row statusRow(const QString& big, const MadeLine& line, const QString& work, QDate today)
{
    QStringList text {line.name, QStringLiteral("###")};
    for (qsizetype i = 0; i < line.stations.size(); ++i)
        text << line.stations[i] + u',' + line.readings[i];
    const QString file = ::writeLineFile(work, QStringLiteral("learning.txt"), text);
    HistoryKeeper history(big);
    if (!history.get() || !history.get()->setLearningLines({{line.key, line.name, file}}))
        fail(QStringLiteral("cannot keep the list of lines being learnt"));
    QString said;
    const std::vector<double> ms = timeRuns(kQuickRuns, [&] {
        LineLibrary library;
        LearningDesk desk(history, library);
        said = DailyQueueText(desk.dailyQueue(10, 200, today));
    });
    if (said.isEmpty())
        fail(QStringLiteral("the status bar would say nothing of today"));
    return timedRow(QStringLiteral("7g. The status bar's day at start-up"), ms, kDueTargetMs,
                    QStringLiteral("below 20 ms"),
                    QStringLiteral("「%1」: dueSummary, the day's new cards, the list of lines "
                                   "and the learnt line's file read once")
                        .arg(said));
}

// What the progress window asks for one line in one mode, each call timed on its own too.
Row progressRow(const History& history, const MadeLine& line, QDate today)
{
    std::vector<double> fullMs, cardsMs, outcomesMs, daysMs, knownMs;
    qsizetype found = 0;
    const auto timed = [](std::vector<double>& into, auto&& work) {
        const double start = nowMs();
        work();
        into.push_back(nowMs() - start);
    };
    const std::vector<double> total = timeRuns(kQuickRuns, [&] {
        found = 0;
        timed(fullMs, [&] { found += history.fullGames(line.key, 1).size(); });
        timed(cardsMs, [&] { found += history.cardsOf(line.key, 1).size(); });
        timed(outcomesMs, [&] { found += history.lastOutcomes(line.key, 1).size(); });
        timed(daysMs, [&] { found += history.answersPerDay().size(); });
        timed(knownMs, [&] { found += history.knownByLine(today).size(); });
    });
    if (found == 0)
        fail(QStringLiteral("the progress window would find nothing in the history"));
    return timedRow(QStringLiteral("7d. What the progress window asks of the history, one line"),
                    total, kProgressTargetMs, QStringLiteral("well within 300 ms (at most 100 ms)"),
                    QStringLiteral("the most played line in 読み当て: fullGames %1, cardsOf %2, "
                                   "lastOutcomes %3, answersPerDay %4, knownByLine %5 ms")
                        .arg(fixed(median(fullMs), 2), fixed(median(cardsMs), 2),
                             fixed(median(outcomesMs), 2), fixed(median(daysMs), 2),
                             fixed(median(knownMs), 2)));
}

// Opening the progress window on the most played line: what it asks of the history, the
// window built, shown and painted once.
Row progressWindowRow(const History& history, const MadeLine& line, QDate today)
{
    const std::vector<double> total = timeRuns(kQuickRuns, [&] {
        LineProgress progress;
        progress.lineName = line.name;
        progress.mode = 1;
        for (const GameRecord& g : history.fullGames(line.key, 1))
            progress.games.append({g.when, g.rate, g.score});
        QHash<QString, StoredCard> cards;
        for (const StoredCard& c : history.cardsOf(line.key, 1))
            cards.insert(c.id().key(), c);
        const QHash<QString, QList<Outcome>> outcomes = history.lastOutcomes(line.key, 1);
        for (qsizetype i = 0; i < line.stations.size(); ++i) {
            StationProgress s;
            s.name = line.stations[i];
            s.reading = line.readings[i];
            const StoredCard c = cards.value(StationKey(s.name, s.reading));
            s.due = c.due;
            s.recall = RecallOf(c, today);
            s.state = StateOf(c, today);
            s.lastAnswers = outcomes.value(StationKey(s.name, s.reading));
            progress.stations.append(s);
        }
        LibraryProgress library;
        library.reviewsPerDay = history.answersPerDay();
        history.knownByLine(today);
        frmProgress window(progress, library, {});
        window.show();
        QCoreApplication::processEvents();
        window.close();
    });
    return timedRow(QStringLiteral("7f. Open the progress window, one line"), total,
                    kWindowTargetMs, QStringLiteral("below 300 ms"),
                    QStringLiteral("the most played line in 読み当て (%1 stations): the history's "
                                   "answers, the window built, shown and painted once, offscreen")
                        .arg(line.stations.size()));
}

} // namespace

// The history shared through a folder: half the big history as another computer's journal,
// merged into an empty history; then a start-up of the big one with nothing new to merge.
void sharingRows(std::vector<Row>& rows, const QString& big, const QString& work)
{
    const QString shared = QDir(work).filePath(QStringLiteral("Sync"));
    const QString other = QStringLiteral("bench-other-installation");
    QList<GameRecord> games;
    {
        History source;
        if (source.open(big) != History::Opened::Ok)
            fail(QStringLiteral("cannot open the big history"));
        games = source.unjournaledGames(kMergedGames);
    }
    int answers = 0;
    for (GameRecord& g : games) {
        g.installation = other;
        answers += int(g.answers.size());
    }
    const QString path = journal::journalPath(shared, other);
    QString why;
    if (games.size() != kMergedGames || !journal::append(path, games, &why))
        fail(QStringLiteral("cannot write the journal: ") + why);
    const double kb = QFileInfo(path).size() / 1024.0;
    rows.push_back({QStringLiteral("7i. The shared journal's size"),
                    QStringLiteral("%1 KB per 1,000 games").arg(fixed(kb * 1000 / kMergedGames, 0)),
                    kNoTarget, kNoTarget,
                    QStringLiteral("%1 games, %2 answers: %3 MB; one line per game, compact JSON "
                                   "and a CRC-32")
                        .arg(kMergedGames)
                        .arg(answers)
                        .arg(fixed(kb / 1024.0, 1))});

    std::vector<double> merge;
    for (int run = 0; run < kMergeRuns; ++run) {
        const QString into = QDir(work).filePath(QStringLiteral("merged-%1").arg(run));
        HistoryKeeper keeper(into);
        keeper.setSharing(shared, QStringLiteral("bench-this-installation"));
        const double start = nowMs();
        if (!keeper.get() || keeper.lastShare().merged != kMergedGames)
            fail(QStringLiteral("the merge took %1 games").arg(keeper.lastShare().merged));
        merge.push_back(nowMs() - start);
    }
    rows.push_back(timedRow(QStringLiteral("7j. Merge another computer's 10,000 games"), merge,
                            kMergeTargetMs, QStringLiteral("below 3 s"),
                            QStringLiteral("%1 answers into an empty history: the journal read "
                                           "and checked, the games added in one transaction, "
                                           "the cards of their lines replayed in time order")
                                .arg(answers)));

    // The big history shares the same folder: its own games go into its journal once, the
    // other's are all known; from then on a start-up finds nothing new.
    HistoryKeeper keeper(big);
    keeper.setSharing(shared, QStringLiteral("bench-big-installation"));
    if (!keeper.get())
        fail(QStringLiteral("cannot open the big history"));
    const std::vector<double> idle = timeRuns(kQuickRuns, [&] {
        if (keeper.share() != 0 || keeper.lastShare().written != 0)
            fail(QStringLiteral("a share with nothing new wrote or merged something"));
    });
    rows.push_back(timedRow(
        QStringLiteral("7k. Start-up with a shared folder and nothing new"), idle,
        kShareIdleTargetMs, QStringLiteral("below 10 ms"),
        QStringLiteral("HistoryKeeper::share() at %1 games: our unwritten games looked up, each "
                       "journal's size and time compared with what was read")
            .arg(keeper.get()->gameCount())));
}

void figureHistoryScale(std::vector<Row>& rows)
{
    QTemporaryDir work;
    if (!work.isValid())
        fail(QStringLiteral("no temporary folder"));
    const QString big = QDir(work.path()).filePath(QStringLiteral("big"));
    const QString empty = QDir(work.path()).filePath(QStringLiteral("empty"));
    const QDate today = QDate::currentDate();
    const std::vector<MadeLine> lines = makeLines();

    const double start = nowMs();
    makeHistory(big, lines, today);
    progress(QStringLiteral("figure 7: history of %1 games made in %2 s")
                 .arg(kGames)
                 .arg(fixed((nowMs() - start) / 1000.0, 1)));
    {
        History made; // made once, so that only opening it is timed
        if (made.open(empty) != History::Opened::Ok)
            fail(QStringLiteral("cannot make an empty history"));
    }
    rows.push_back(startupRow(big, empty, today));

    History history;
    if (history.open(big) != History::Opened::Ok)
        fail(QStringLiteral("cannot open the big history"));
    std::vector<const MadeLine*> long30;
    for (const MadeLine& line : lines) {
        if (line.stations.size() >= kRecordedAnswers)
            long30.push_back(&line);
    }
    QDateTime when = QDateTime::currentDateTime();
    std::size_t next = 0;
    const std::vector<double> record = timeRuns(kQuickRuns, [&] {
        when = when.addSecs(300);
        if (!history.record(recordedGame(*long30[next++ % long30.size()], when)))
            fail(QStringLiteral("cannot record a game: ") + history.problem());
    });
    rows.push_back(timedRow(QStringLiteral("7b. Record a 30-answer 読み当て game"), record,
                            kRecordTargetMs, QStringLiteral("below 20 ms"),
                            QStringLiteral("History::record: the game, its answers and 30 "
                                           "cards in one transaction, written to disk")));

    int due = 0;
    const std::vector<double> summary
        = timeRuns(kQuickRuns, [&] { due = history.dueSummary(today).cards; });
    rows.push_back(timedRow(QStringLiteral("7c. Count today's due cards"), summary, kDueTargetMs,
                            QStringLiteral("below 20 ms"),
                            QStringLiteral("dueSummary(today): %1 due").arg(due)));

    rows.push_back(statusRow(big, lines.front(), work.path(), today));
    rows.push_back(progressRow(history, lines.front(), today));
    rows.push_back(progressWindowRow(history, lines.front(), today));

    const std::vector<double> rebuild = timeRuns(kRebuildRuns, [&] {
        if (!history.rebuildCards())
            fail(QStringLiteral("cannot rebuild the cards: ") + history.problem());
    });
    rows.push_back(timedRow(QStringLiteral("7e. Rebuild every card"), rebuild, kRebuildTargetMs,
                            QStringLiteral("below 5 s"),
                            QStringLiteral("rebuildCards(): every answer read again, oldest "
                                           "first, in one transaction")));
    sharingRows(rows, big, work.path());
}

} // namespace bench
