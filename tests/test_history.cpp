// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The history of games: what it keeps, and that it is never lost or corrupted, whatever happens
// to its file or its folder.

#include "fsrs.h"
#include "history.h"
#include "historykeeper.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

namespace {

GameRecord game(int score, const QList<Outcome>& outcomes)
{
    static const QStringList names {"東京", "神田", "秋葉原", "御徒町"};
    GameRecord g;
    g.when = QDateTime(QDate(2026, 12, 1 + score % 5), QTime(10, 0));
    g.lineKey = QStringLiteral("line");
    g.lineName = QStringLiteral("山手線");
    g.mode = 1;
    g.score = score;
    for (int i = 0; i < int(outcomes.size()); ++i) {
        g.answers << GameRecord::Answer {names[i % names.size()], QStringLiteral("よみ"),
                                         outcomes[i], 30, 0};
        g.right += outcomes[i] == Outcome::Right ? 1 : 0;
    }
    g.asked = int(outcomes.size());
    g.rate = g.asked ? double(g.right) / g.asked : 0.0;
    return g;
}

// Runs SQL on the history file through a connection of its own, as another program would.
void runSql(const QString& path, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "other");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString& sql : statements)
            QVERIFY2(q.exec(sql), qPrintable(sql));
    }
    QSqlDatabase::removeDatabase("other");
}

// Runs SQL through a connection that is never closed cleanly: what it wrote stays in the WAL
// beside the file, as after a crash or with another program still running.
void runSqlLeavingWal(const QString& path, const QStringList& statements)
{
    QTemporaryDir scratch;
    const QString working = scratch.filePath("working.sqlite");
    QVERIFY(QFile::copy(path, working));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "crashing");
        db.setDatabaseName(working);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("PRAGMA journal_mode=WAL") && q.exec("PRAGMA wal_autocheckpoint=0"));
        for (const QString& sql : statements)
            QVERIFY2(q.exec(sql), qPrintable(sql));
        QFile::remove(path);
        QVERIFY(QFile::copy(working, path) && QFile::copy(working + "-wal", path + "-wal"));
    }
    QSqlDatabase::removeDatabase("crashing");
}

// The history as the program wrote it before it marked its files (version 1.0.0.27).
const QStringList kTodaysHistory {
    "PRAGMA journal_mode=WAL",
    "CREATE TABLE IF NOT EXISTS games (id INTEGER PRIMARY KEY, played_at TEXT NOT NULL, "
    "line_key TEXT NOT NULL, line_name TEXT, line_file TEXT, mode INTEGER, retry INTEGER, "
    "completed INTEGER, asked INTEGER, right_answers INTEGER, rate REAL, score INTEGER)",
    "CREATE TABLE IF NOT EXISTS answers (game_id INTEGER NOT NULL REFERENCES games(id), "
    "position INTEGER, station TEXT, reading TEXT, outcome TEXT, seconds REAL, hints INTEGER)",
    "CREATE INDEX IF NOT EXISTS games_line ON games(line_key, mode)",
    "CREATE INDEX IF NOT EXISTS answers_game ON answers(game_id)",
    "INSERT INTO games (played_at, line_key, mode, score, rate) "
    "VALUES ('2026-11-30T09:00:00', 'line', 1, 42, 0.5)",
    "INSERT INTO answers (game_id, position, station, reading, outcome) "
    "VALUES (1, 0, '神田', 'かんだ', 'wrong')",
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT
private slots:
    void keepsGamesAndTellsTheRecord();
    void unreadableHistoryMovedAside();
    void folderThatCannotBeWritten();
    void twoWriters();
    void powerCutInTheMiddleOfAGame();
    void failureOfCode_data();
    void failureOfCode();
    void whatIsFoundAtThePath_data();
    void whatIsFoundAtThePath();
    void busyHistoryKeptAndGamesPending();
    void sideFilesTakeTheHistorysMode();
    void olderGameWrittenLateMakesTheRebuildsCards();
    void readOnlyEmptyFolderSaidSo();
    void fullDiskKeptAndGamesPending();
    void cardsFollowTheGames();
    void migratesAnEarlierHistory();
    void formerLineTakesItsGames();

private:
    QTemporaryDir dir_;
};

void TestHistory::keepsGamesAndTellsTheRecord()
{
    History h;
    QCOMPARE(h.open(dir_.filePath("keep")), History::Opened::Ok);
    using O = Outcome;
    QVERIFY(h.record(game(12, {O::Right, O::Wrong, O::TimedOut, O::Right})));
    QVERIFY(h.record(game(31, {O::Right, O::Wrong, O::Right, O::Right})));
    GameRecord otherMode = game(99, {O::Right});
    otherMode.mode = 2;
    QVERIFY(h.record(otherMode));
    // A retry all right and a stopped game with more points: counted apart, never a best.
    GameRecord retry = game(40, {O::Right, O::Right});
    retry.retry = true;
    QVERIFY(h.record(retry));
    GameRecord stopped = game(50, {O::Right});
    stopped.completed = false;
    QVERIFY(h.record(stopped));
    const LineStats s = h.stats(QStringLiteral("line"), 1);
    QCOMPARE(s.games, 2);
    QCOMPARE(s.bestScore, 31);
    QCOMPARE(s.bestRate, 0.75);
    QCOMPARE(s.practice, 1);
    QCOMPARE(s.stopped, 1);
    QCOMPARE(s.last.date(), QDate(2026, 12, 3));
    // 神田 missed twice, 秋葉原 once (a time-out counts as a miss).
    const QList<MissedStation> weak = h.mostMissed(QStringLiteral("line"), 1, 10);
    QCOMPARE(weak.size(), 2);
    QCOMPARE(weak[0].station, QStringLiteral("神田"));
    QCOMPARE(weak[0].misses, 2);
    QCOMPARE(weak[1].station, QStringLiteral("秋葉原"));
}

void TestHistory::unreadableHistoryMovedAside()
{
    const QString folder = dir_.filePath("garbled");
    QDir().mkpath(folder);
    const QByteArray garbage = QByteArray("not a database, just bytes ").repeated(200);
    QFile f(folder + "/history.sqlite");
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(garbage) == garbage.size());
    f.close();

    History h;
    QCOMPARE(h.open(folder), History::Opened::MovedAside);
    // Kept as it was, under a dated name; a new history in its place.
    QVERIFY(h.movedTo().contains("history-broken-"));
    QCOMPARE(readAll(h.movedTo()), garbage);
    QVERIFY(h.record(game(5, {Outcome::Right})));
    History again;
    QCOMPARE(again.open(folder), History::Opened::Ok);
    QCOMPARE(again.stats(QStringLiteral("line"), 1).games, 1);
}

void TestHistory::folderThatCannotBeWritten()
{
    // A folder that cannot be made (a file stands where it would go), whoever runs the test.
    QFile blocker(dir_.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    History h;
    QCOMPARE(h.open(dir_.filePath("blocker/tabidori")), History::Opened::Unwritable);
    QVERIFY(!h.isOpen());
    QVERIFY(!h.record(game(1, {Outcome::Right})));
    QCOMPARE(h.stats(QStringLiteral("line"), 1).games, 0);
}

void TestHistory::twoWriters()
{
    // Two running copies of the program, each with its own connection, writing in turns.
    const QString folder = dir_.filePath("two");
    History a, b;
    QCOMPARE(a.open(folder), History::Opened::Ok);
    QCOMPARE(b.open(folder), History::Opened::Ok);
    for (int i = 0; i < 40; ++i) {
        QVERIFY(a.record(game(i, {Outcome::Right, Outcome::Wrong})));
        QVERIFY(b.record(game(100 + i, {Outcome::TimedOut})));
    }
    QCOMPARE(a.stats(QStringLiteral("line"), 1).games, 80);
    QCOMPARE(b.mostMissed(QStringLiteral("line"), 1, 10).value(0).misses, 40);
}

void TestHistory::powerCutInTheMiddleOfAGame()
{
    const QString folder = dir_.filePath("cut");
    {
        History h;
        QCOMPARE(h.open(folder), History::Opened::Ok);
        QVERIFY(h.record(game(7, {Outcome::Right})));
    }
    // A game half written: the transaction is open, many rows in, and the machine loses power.
    // What is on the disk at that moment is copied aside, as the next start would find it.
    const QString copy = dir_.filePath("after-cut");
    QDir().mkpath(copy);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "writer");
        db.setDatabaseName(folder + "/history.sqlite");
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(db.transaction());
        QVERIFY(q.exec("INSERT INTO games (played_at, line_key, mode, score) "
                       "VALUES ('2026-12-07T10:00:00', 'line', 1, 999)"));
        for (int i = 0; i < 3000; ++i)
            QVERIFY(q.exec(QStringLiteral("INSERT INTO answers (game_id, station, outcome) "
                                          "VALUES (last_insert_rowid(), 'x%1', 'wrong')")
                               .arg(i)));
        for (const char* file : {"/history.sqlite", "/history.sqlite-wal", "/history.sqlite-shm"})
            QFile::copy(folder + file, copy + file);
        db.rollback();
        db.close();
    }
    QSqlDatabase::removeDatabase("writer");
    History after;
    QCOMPARE(after.open(copy), History::Opened::Ok);
    const LineStats s = after.stats(QStringLiteral("line"), 1);
    QCOMPARE(s.games, 1);
    QCOMPARE(s.bestScore, 7);
}

void TestHistory::failureOfCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<History::Failure>("failure");
    QTest::addColumn<bool>("passing");
    QTest::newRow("busy") << 5 << History::Failure::Busy << true;
    QTest::newRow("locked") << 6 << History::Failure::Busy << true;
    QTest::newRow("busy snapshot (extended)") << (5 | 2 << 8) << History::Failure::Busy << true;
    QTest::newRow("full") << 13 << History::Failure::DiskFull << true;
    QTest::newRow("read-only") << 8 << History::Failure::ReadOnly << true;
    QTest::newRow("I/O error on read (extended)")
        << (10 | 1 << 8) << History::Failure::IoError << true;
    QTest::newRow("cannot open") << 14 << History::Failure::CannotOpen << true;
    QTest::newRow("corrupt") << 11 << History::Failure::Corrupt << false;
    QTest::newRow("not a database") << 26 << History::Failure::NotADatabase << false;
}

void TestHistory::failureOfCode()
{
    QFETCH(int, code);
    QFETCH(History::Failure, failure);
    QFETCH(bool, passing);
    QCOMPARE(History::failureOfCode(code), failure);
    QCOMPARE(History::passing(failure), passing);
}

void TestHistory::whatIsFoundAtThePath_data()
{
    QTest::addColumn<QStringList>("made"); // SQL that makes the file found at the path
    QTest::addColumn<History::Opened>("opened");
    QTest::addColumn<int>("gamesShown"); // what the record shows right after opening
    QTest::addColumn<bool>("writes");

    QTest::newRow("today's history: marked, every game kept")
        << kTodaysHistory << History::Opened::Ok << 1 << true;
    QTest::newRow("a newer version's: read, never written")
        << (QStringList(kTodaysHistory)
            << QStringLiteral("PRAGMA application_id = %1").arg(History::kApplicationId)
            << QStringLiteral("PRAGMA user_version = %1").arg(History::kSchemaVersion + 1))
        << History::Opened::Newer << 1 << false;
    QTest::newRow("someone else's games table")
        << QStringList {"CREATE TABLE games(x)", "INSERT INTO games VALUES (1)"}
        << History::Opened::ForeignMovedAside << 0 << true;
    QTest::newRow("another program's mark")
        << QStringList {"PRAGMA application_id = 1234", "CREATE TABLE t(x)"}
        << History::Opened::ForeignMovedAside << 0 << true;
    // After "WAL:" the statements stay in the file's WAL, as a crash or a running program
    // leaves them: the file and its WAL are left exactly as they are, or moved together.
    QTest::newRow("a newer version's, a game still in its WAL")
        << (QStringList(kTodaysHistory)
            << QStringLiteral("PRAGMA application_id = %1").arg(History::kApplicationId)
            << QStringLiteral("PRAGMA user_version = %1").arg(History::kSchemaVersion + 1)
            << "WAL:INSERT INTO games (played_at, line_key, mode) "
               "VALUES ('2026-12-01T09:00:00', 'line', 1)")
        << History::Opened::Newer << 2 << false;
    QTest::newRow("another program's, in WAL mode, its last rows in the WAL")
        << QStringList {"PRAGMA application_id = 1234", "CREATE TABLE t(x)",
                        "WAL:INSERT INTO t VALUES (1)"}
        << History::Opened::ForeignMovedAside << 0 << true;
}

void TestHistory::whatIsFoundAtThePath()
{
    QFETCH(QStringList, made);
    QFETCH(History::Opened, opened);
    QFETCH(int, gamesShown);
    QFETCH(bool, writes);
    const QString folder = dir_.filePath(QStringLiteral("found-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + "/history.sqlite";
    runSql(path, made.filter(QRegularExpression("^(?!WAL:)")));
    QStringList inWal = made.filter(QRegularExpression("^WAL:"));
    if (!inWal.isEmpty())
        runSqlLeavingWal(path, inWal.replaceInStrings(QRegularExpression("^WAL:"), QString()));
    const QByteArray before = readAll(path);
    const QByteArray walBefore = readAll(path + "-wal");

    {
        History h;
        QCOMPARE(h.open(folder), opened);
        QCOMPARE(h.stats(QStringLiteral("line"), 1).games, gamesShown);
        QCOMPARE(h.record(game(9, {Outcome::Right})), writes);
        QCOMPARE(h.isReadOnly(), !writes);
        if (opened == History::Opened::ForeignMovedAside) {
            // Never altered: the other program's file, byte for byte, under its own name.
            QVERIFY(h.movedTo().contains("history-foreign-"));
            QCOMPARE(readAll(h.movedTo()), before);
            QCOMPARE(readAll(h.movedTo() + "-wal"), walBefore);
        }
    }
    if (!writes) {
        QCOMPARE(readAll(path), before);
        QCOMPARE(readAll(path + "-wal"), walBefore);
        return;
    }
    // Reopened, the history is ours, marked, and holds what it held plus the new game.
    History again;
    QCOMPARE(again.open(folder), History::Opened::Ok);
    QCOMPARE(again.stats(QStringLiteral("line"), 1).games, gamesShown + 1);
    QSqlQuery q(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "marks"));
    {
        QSqlDatabase db = QSqlDatabase::database("marks");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery m(db);
        QVERIFY(m.exec("PRAGMA application_id") && m.next());
        QCOMPARE(m.value(0).toInt(), History::kApplicationId);
        QVERIFY(m.exec("PRAGMA user_version") && m.next());
        QCOMPARE(m.value(0).toInt(), History::kSchemaVersion);
    }
    q = QSqlQuery();
    QSqlDatabase::removeDatabase("marks");
}

void TestHistory::busyHistoryKeptAndGamesPending()
{
    const QString folder = dir_.filePath("busy");
    {
        History first;
        QCOMPARE(first.open(folder), History::Opened::Ok);
        QVERIFY(first.record(game(1, {Outcome::Right})));
    }
    const QString path = folder + "/history.sqlite";
    // Another copy holds a write transaction longer than this one waits.
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "holder");
    other.setDatabaseName(path);
    QVERIFY(other.open());
    QSqlQuery hold(other);
    QVERIFY(hold.exec("BEGIN EXCLUSIVE"));

    // The window is not held while the other copy keeps its lock (it waited 10 s before).
    HistoryKeeper keeper(folder);
    QElapsedTimer took;
    took.start();
    QVERIFY(!keeper.record(game(2, {Outcome::Wrong})));
    QVERIFY2(took.elapsed() < 1500, qPrintable(QString::number(took.elapsed())));
    QCOMPARE(keeper.pending(), 1);
    QVERIFY(keeper.takeMessage().contains(QStringLiteral("別の Tabi Dori")));
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(QDir(folder).entryList({"history-*"}).size(), 0);

    QVERIFY(hold.exec("ROLLBACK"));
    hold = QSqlQuery();
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase("holder");
    // The next game takes the pending one with it; nothing is lost at the end.
    QVERIFY(keeper.record(game(3, {Outcome::Right})));
    QCOMPARE(keeper.pending(), 0);
    QCOMPARE(keeper.finish(), QString());
    History after;
    QCOMPARE(after.open(folder), History::Opened::Ok);
    QCOMPARE(after.stats(QStringLiteral("line"), 1).games, 3);
}

// A session on a read-only history leaves its -wal and -shm read-only; once the history is
// writable again, so are they, or no later session could write.
void TestHistory::sideFilesTakeTheHistorysMode()
{
    const QString folder = dir_.filePath("modes");
    {
        History h;
        QCOMPARE(h.open(folder), History::Opened::Ok);
        QVERIFY(h.record(game(1, {Outcome::Right})));
    }
    const QString path = folder + "/history.sqlite";
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    for (const char* side : {"-wal", "-shm"}) {
        QFile file(path + side);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(QFile::setPermissions(file.fileName(), readOnly));
    }
    History h;
    QCOMPARE(h.open(folder), History::Opened::Ok);
    QVERIFY(h.record(game(2, {Outcome::Right})));
    for (const char* side : {"-wal", "-shm"}) {
        if (QFileInfo::exists(path + side))
            QCOMPARE(QFileInfo(path + side).permissions(), QFileInfo(path).permissions());
    }
}

// A game kept pending in one copy while another wrote a later one: written last, it still
// comes first, and the cards are those the answers make in time order (as the rebuild makes
// them), whatever the order of writing.
void TestHistory::olderGameWrittenLateMakesTheRebuildsCards()
{
    History h;
    QCOMPARE(h.open(dir_.filePath("late")), History::Opened::Ok);
    QVERIFY(h.record(game(3, {Outcome::Wrong, Outcome::Wrong}))); // 12-04
    QVERIFY(h.record(game(0, {Outcome::Right, Outcome::Right}))); // 12-01, written after
    const auto byStation = [](QList<StoredCard> cards) {
        std::sort(cards.begin(), cards.end(),
                  [](const StoredCard& a, const StoredCard& b) { return a.station < b.station; });
        return cards;
    };
    const QList<StoredCard> written = byStation(h.cardsOf("line", 1));
    QVERIFY(h.rebuildCards());
    const QList<StoredCard> rebuilt = byStation(h.cardsOf("line", 1));
    QCOMPARE(written.size(), 2);
    QCOMPARE(rebuilt.size(), written.size());
    for (qsizetype i = 0; i < written.size(); ++i) {
        QCOMPARE(written[i].lastReview, QDate(2026, 12, 4));
        QCOMPARE(written[i].lastRight, false);
        QCOMPARE(written[i].due, rebuilt[i].due);
        QCOMPARE(written[i].stability, rebuilt[i].stability);
        QCOMPARE(written[i].lapses, rebuilt[i].lapses);
    }
}

// An empty folder that cannot be written: the player is told the folder cannot be written,
// not of a disk error.
void TestHistory::readOnlyEmptyFolderSaidSo()
{
    if (geteuid() == 0)
        QSKIP("root writes into any folder: run as a user to check this");
    const QString folder = dir_.filePath("locked");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    History h;
    QVERIFY(h.open(folder) != History::Opened::Ok);
    QCOMPARE(h.failure(), History::Failure::ReadOnly);
}

void TestHistory::fullDiskKeptAndGamesPending()
{
    const QString folder = dir_.filePath("full");
    HistoryKeeper keeper(folder);
    QVERIFY(keeper.record(game(1, {Outcome::Right})));
    const QByteArray before = readAll(folder + "/history.sqlite");
    GameRecord big = game(2, {Outcome::Wrong});
    for (int i = 0; i < 400; ++i)
        big.answers << GameRecord::Answer {QString(200, u'駅'), QStringLiteral("えき"),
                                           Outcome::Wrong, 10, 0};
    {
        // The disk fills up: no file may grow past what it is now.
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit {};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit old = limit;
        limit.rlim_cur = 64 * 1024;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        const bool written = keeper.record(big);
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!written);
    }
    QCOMPARE(keeper.pending(), 1);
    QCOMPARE(readAll(folder + "/history.sqlite"), before);
    QCOMPARE(QDir(folder).entryList({"history-*"}).size(), 0);
    // Space again: the pending game goes in with the next one.
    QVERIFY(keeper.record(game(3, {Outcome::Right})));
    History after;
    QCOMPARE(after.open(folder), History::Opened::Ok);
    QCOMPARE(after.stats(QStringLiteral("line"), 1).games, 3);
    {
        // Full at the end: the game still pending is lost, and the message at exit does not
        // promise it back once there is space.
        rlimit limit {};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit old = limit;
        limit.rlim_cur = 64 * 1024;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QVERIFY(!keeper.record(big));
        const QString lost = keeper.finish();
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY2(lost.contains(u"失われました") && !lost.contains(u"空きを作れば"),
                 qPrintable(lost));
    }
}

// Every question asked updates its card in the game's own transaction; a card falls due on the
// day its interval says; a miss is the weakest station; the cards made again from the answers
// are the same.
void TestHistory::cardsFollowTheGames()
{
    History h;
    QCOMPARE(h.open(dir_.filePath("cards")), History::Opened::Ok);
    using O = Outcome;
    GameRecord first = game(0, {O::Right, O::Wrong, O::Right}); // on 2026-12-01
    QVERIFY(h.record(first));
    GameRecord typing = game(0, {O::Right});
    typing.mode = 0; // 早打ち schedules nothing
    QVERIFY(h.record(typing));
    const QDate day = first.when.date();
    // 3.0 s for a reading of two: thought for 2.6 s, more than a quarter: good.
    const fsrs::Card good = fsrs::Review({}, day, fsrs::Grade::Good, fsrs::Parameters {});
    QList<StoredCard> cards = h.cardsOf("line", 1);
    QCOMPARE(cards.size(), 3);
    for (const StoredCard& c : cards) {
        QCOMPARE(c.reps, 1);
        QCOMPARE(c.lastRight, c.station != QStringLiteral("神田"));
        if (c.lastRight)
            QCOMPARE(c.due, good.due);
    }
    QCOMPARE(h.dueSummary(day).cards, 0);
    QCOMPARE(h.dueSummary(day.addDays(1)).cards, 1); // the miss, the next day
    QCOMPARE(h.dueSummary(good.due.addDays(-1)).cards, 1);
    QCOMPARE(h.dueSummary(good.due).cards, 3);
    QCOMPARE(h.dueSummary(good.due).lines, 1);
    const QList<MissedStation> weak = h.weakest("line", 1, day, 10);
    QCOMPARE(weak.size(), 1);
    QCOMPARE(weak[0].station, QStringLiteral("神田"));
    QVERIFY(weak[0].recall <= 0.5);

    GameRecord second = game(1, {O::Right, O::Right}); // the next day: 東京 and 神田
    second.lineName = QStringLiteral("山手線, \"内回り\"");
    QVERIFY(h.record(second));
    // One row per answer, a name with a comma and quotes kept whole.
    const QString csv = dir_.filePath("history.csv");
    QVERIFY(h.exportCsv(csv, nullptr));
    const QStringList rows
        = QString::fromUtf8(readAll(csv)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 1 + 3 + 1 + 2);
    QVERIFY(rows.last().contains(QStringLiteral(",\"山手線, \"\"内回り\"\"\",")));
    cards = h.cardsOf("line", 1);
    const auto byStation
        = [](const StoredCard& a, const StoredCard& b) { return a.station < b.station; };
    std::sort(cards.begin(), cards.end(), byStation);
    QVERIFY(h.rebuildCards());
    QList<StoredCard> rebuilt = h.cardsOf("line", 1);
    std::sort(rebuilt.begin(), rebuilt.end(), byStation);
    QCOMPARE(rebuilt.size(), cards.size());
    for (qsizetype i = 0; i < cards.size(); ++i) {
        QCOMPARE(rebuilt[i].due, cards[i].due);
        QCOMPARE(rebuilt[i].reps, cards[i].reps);
        QCOMPARE(rebuilt[i].stability, cards[i].stability);
        QCOMPARE(rebuilt[i].difficulty, cards[i].difficulty);
    }
}

// A history written by the program before it kept cards, as that program made it (kept as a
// file), is brought up to date when opened: every game and answer stays, and the cards are
// made from its answers, so the games played before count from the first day.
void TestHistory::migratesAnEarlierHistory()
{
    const QString folder = dir_.filePath("earlier");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + "/history.sqlite";
    QVERIFY(QFile::copy(QFINDTESTDATA("data/history-v1.sqlite"), path));
    QVERIFY(QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    const auto count = [&](const QString& sql) {
        QSqlQuery q(QSqlDatabase::database("count"));
        return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
    };
    int games = 0, answers = 0, stations = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "count");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QCOMPARE(count("PRAGMA user_version"), 1);
        games = count("SELECT COUNT(*) FROM games");
        answers = count("SELECT COUNT(*) FROM answers");
        stations = count("SELECT COUNT(*) FROM (SELECT DISTINCT g.line_key, g.mode, a.station, "
                         "a.reading FROM answers a JOIN games g ON g.id = a.game_id "
                         "WHERE g.mode IN (1, 2))");
    }
    QSqlDatabase::removeDatabase("count");
    QVERIFY(games > 1 && stations > 1);

    History h;
    QCOMPARE(h.open(folder), History::Opened::Ok);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "count");
    db.setDatabaseName(path);
    QVERIFY(db.open());
    QCOMPARE(count("PRAGMA user_version"), History::kSchemaVersion);
    QCOMPARE(count("SELECT COUNT(*) FROM games"), games);
    QCOMPARE(count("SELECT COUNT(*) FROM answers"), answers);
    QCOMPARE(count("SELECT COUNT(*) FROM cards"), stations);
    QCOMPARE(count("SELECT COUNT(*) FROM cards WHERE due IS NULL OR reps < 1"), 0);
    // Each game can travel to another computer: an id of its own (a version 4 UUID), numbered
    // as it was played.
    QCOMPARE(count("SELECT COUNT(DISTINCT uid) FROM games WHERE uid GLOB '"
                   "[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]-*-4*' "
                   "AND length(uid) = 36"),
             games);
    QCOMPARE(count("SELECT COUNT(*) FROM games WHERE seq = id AND journaled = 0"), games);
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("count");
}

// A line made again under a new name, its stations in the other order, takes its games: the
// 駅当て links keep their direction of travel, and a line once of the same name elsewhere
// keeps its own games.
void TestHistory::formerLineTakesItsGames()
{
    History h;
    QCOMPARE(h.open(dir_.filePath("former")), History::Opened::Ok);
    using O = Outcome;
    GameRecord links = game(0, {O::Right, O::Right, O::Right}); // 東京 神田 秋葉原, forwards
    links.mode = 2;
    QVERIFY(h.record(links));
    GameRecord elsewhere = game(1, {O::Right});
    elsewhere.lineKey = QStringLiteral("elsewhere");
    elsewhere.answers[0].station = QStringLiteral("熱海");
    QVERIFY(h.record(elsewhere));
    QCOMPARE(h.adoptFormerLine({"山手線"}, "new", {"御徒町", "秋葉原", "神田", "東京"}, "/l.txt"),
             1);
    QVERIFY(h.cardsOf("line", 2).isEmpty());
    const QList<StoredCard> cards = h.cardsOf("new", 2);
    QCOMPARE(cards.size(), 3);
    for (const StoredCard& c : cards)
        QVERIFY(c.reversed); // against the new file's order
    QCOMPARE(h.cardsOf("elsewhere", 1).size(), 1);
    QCOMPARE(h.dueLines(QDate(2030, 1, 1)).constFirst().lineFile, QStringLiteral("/l.txt"));
    QCOMPARE(h.adoptFormerLine({"山手線"}, "new", {"東京"}, "/l.txt"), 0); // nothing left to move
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
