// SPDX-License-Identifier: GPL-3.0-or-later
// The history of games: what it keeps, and that it is never lost or corrupted, whatever happens
// to its file or its folder.

#include "history.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

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
    const LineStats s = h.stats(QStringLiteral("line"), 1);
    QCOMPARE(s.games, 2);
    QCOMPARE(s.bestScore, 31);
    QCOMPARE(s.bestRate, 0.75);
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

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
