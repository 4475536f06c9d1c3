// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The rules around a game, and whole games played through a front end without any window.
#include "fakefrontend.h"
#include "fakehost.h"
#include "gamestate.h"
#include "grade.h"
#include "session.h"
#include "stationtable.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList kLine {"東京", "神田", "秋葉原", "御徒町", "上野"};
const QStringList kReadings {"とうきょう", "かんだ", "あきはばら", "おかちまち", "うえの"};

void putLine(const QString& name, int count)
{
    ClearStationName();
    for (int i = 0; i < count; ++i) {
        StationTable[i].StationName = kLine[i];
        StationTable[i].Reading = kReadings[i];
    }
    gStationCount = count;
    gLineName = name;
}

QStringList tableNames()
{
    QStringList names;
    for (int i = 0; i < gStationCount; ++i)
        names << StationTable[i].StationName;
    return names;
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void retryEntries_data();
    void retryEntries();
    void weakEntries_data();
    void weakEntries();
    void wholeGameWithoutWindow();
    void retryGameRestoresLine();
    void scopeRestoresWhenProgramEnds();
    void loopLineRetriedAndReversed();
    void answerGrade_data();
    void answerGrade();
    void goalStreak();

private:
    QTemporaryDir dir_;
};

void TestSession::init()
{
    ResetStationTable();
    ResetGameState();
}

void TestSession::retryEntries_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("origin");
    QTest::addColumn<QString>("outcomes"); // per row: R right, W wrong, T timed out, - not asked
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("misses of a whole line")
        << 1 << QList<int> {0, 1, 2, 3} << "RWTR" << QList<int> {1, 2};
    QTest::newRow("nothing missed") << 1 << QList<int> {0, 1, 2} << "RRR" << QList<int> {};
    QTest::newRow("stopped game: not asked is no miss")
        << 0 << QList<int> {0, 1, 2} << "W--" << QList<int> {0};
    // In 駅当て a question is asked from the station before it, which comes along.
    QTest::newRow("駅当て pairs") << 2 << QList<int> {0, 1, 2, 3, 4} << "-RWRT"
                                  << QList<int> {1, 2, 3, 4};
    // A retry of a retry: rows map back to the whole line.
    QTest::newRow("rows of a subset") << 1 << QList<int> {3, 7, 9} << "WRW" << QList<int> {3, 9};
    QTest::newRow("駅当て subset, first row never asked")
        << 2 << QList<int> {4, 5, 9, 10} << "-W-T" << QList<int> {4, 5, 9, 10};
}

void TestSession::retryEntries()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, origin);
    QFETCH(QString, outcomes);
    QFETCH(QList<int>, expected);
    PlayedGame last;
    last.valid = true;
    last.mode = mode;
    last.origin = origin;
    for (int i = 0; i < int(outcomes.size()); ++i) {
        ReviewRow row;
        const QChar c = outcomes.at(i);
        row.outcome = c == u'R' ? Outcome::Right
            : c == u'W'         ? Outcome::Wrong
            : c == u'T'         ? Outcome::TimedOut
                                : Outcome::NotAsked;
        row.question = !(mode == kModeEkiate && c == u'-' && i == 0) && c != u'-';
        last.rows << row;
    }
    QCOMPARE(RetryEntries(last), expected);
}

void TestSession::weakEntries_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("weak"); // station,reading
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("stations in running order")
        << 1 << QStringList {"上野,うえの", "神田,かんだ"} << QList<int> {1, 4};
    QTest::newRow("another reading is another station")
        << 1 << QStringList {"神田,かんた"} << QList<int> {};
    QTest::newRow("not on this line") << 0 << QStringList {"品川,しながわ"} << QList<int> {};
    QTest::newRow("駅当て: with the station before")
        << 2 << QStringList {"秋葉原,あきはばら", "御徒町,おかちまち"} << QList<int> {1, 2, 3};
    // The first station is never asked in 駅当て: alone it would make no question.
    QTest::newRow("駅当て: the first station")
        << 2 << QStringList {"東京,とうきょう"} << QList<int> {};
}

void TestSession::weakEntries()
{
    QFETCH(int, mode);
    QFETCH(QStringList, weak);
    QFETCH(QList<int>, expected);
    putLine(QStringLiteral("山手線"), 5);
    QList<MissedStation> missed;
    for (const QString& s : weak)
        missed.append({s.section(u',', 0, 0), s.section(u',', 1, 1), 2});
    QCOMPARE(WeakEntries(missed, mode), expected);
}

// 読み当て over four stations: right, wrong, timed out, right after two hints.
void TestSession::wholeGameWithoutWindow()
{
    FakeHost host;
    FakeFrontEnd ui(host);
    gLineFilePath = writeLineFile(dir_, "line.txt", {"線", "###", "a,あ", "b,い", "c,う", "d,え"});
    QVERIFY(LoadLineFile(gLineFilePath));
    gGameMode = kModeYomiate;
    ui.script = {{0, {5, "あ"}}, {1, {20, "お"}}, {3, {40, "え", 2}}};

    StartGame(ui);

    QCOMPARE(ui.gamesEntered, 1);
    QCOMPARE(ui.plates, (std::vector<int> {0, 1, 2, 3}));
    QCOMPARE(ui.over, std::vector<bool> {true});
    QCOMPARE(ui.stops, 1);
    QCOMPARE(ui.scores, 1);
    // 9.6 s left gives 10 points; 6.1 s gives 6, less 3 for each hint.
    QCOMPARE(gScore, 10 + 6 - 2 * kHintCost);
    QCOMPARE(ui.panels.value("Score"), QString::number(gScore));
    QCOMPARE(ui.panels.value("Guide"), QStringLiteral("終点につきました"));
    QCOMPARE(ui.sounds.front(), int(kSoundStart));
    QCOMPARE(ui.sounds.back(), int(kSoundBadEnd)); // half right
    QCOMPARE(gCorrectRate, 0.5f);

    const FinishedGame game = CollectGame(true, QDateTime::currentDateTime());
    QCOMPARE(game.record.asked, 4);
    QCOMPARE(game.record.right, 2);
    QCOMPARE(game.record.rate, 0.5);
    QCOMPARE(game.record.score, gScore);
    QVERIFY(!game.record.retry);
    QCOMPARE(game.record.answers.size(), 4);
    QCOMPARE(game.record.answers[1].outcome, Outcome::Wrong);
    QCOMPARE(game.record.answers[2].outcome, Outcome::TimedOut);
    QCOMPARE(game.record.answers[3].hints, 2);
    QCOMPARE(game.played.rows[1].typed, QStringLiteral("お"));
    QCOMPARE(RetryEntries(game.played), (QList<int> {1, 2}));
}

// The misses of a 駅当て game played again: the stations side by side in the retry are
// neighbours on the line, the record is the whole line's, and the line is back afterwards.
void TestSession::retryGameRestoresLine()
{
    FakeHost host;
    FakeFrontEnd ui(host);
    gLineFilePath
        = writeLineFile(dir_, "ekiate.txt", {"線", "###", "a,あ", "b,い", "c,う", "d,え", "e,お"});
    QVERIFY(LoadLineFile(gLineFilePath));
    const QString key = CurrentLineKey();
    gGameMode = kModeEkiate;
    // Plates 0 to 3 ask b to e: b and e missed.
    ui.script = {{0, {5, "x"}}, {1, {5, "う"}}, {2, {5, "え"}}};
    StartGame(ui);
    const PlayedGame first = CollectGame(true, QDateTime::currentDateTime()).played;
    const QList<int> retry = RetryEntries(first);
    QCOMPARE(retry, (QList<int> {0, 1, 3, 4}));

    {
        const SubsetScope subset(retry, QStringLiteral("（再挑戦）"));
        QCOMPARE(tableNames(), (QStringList {"a", "b", "d", "e"}));
        QCOMPARE(gLineName, QStringLiteral("線（再挑戦）"));
        QCOMPARE(CurrentLineKey(), key);
        ui.plates.clear();
        ui.script = {{0, {5, "い"}}, {2, {5, "お"}}};
        StartGame(ui);
        // b and d are not neighbours on the line: no question on the plate of b. The last
        // plate shows the terminus.
        QCOMPARE(ui.plates, (std::vector<int> {0, 2, 3}));
        const GameRecord record = CollectGame(true, QDateTime::currentDateTime()).record;
        QVERIFY(record.retry);
        QCOMPARE(record.lineName, QStringLiteral("線"));
        QCOMPARE(record.lineKey, key);
        QCOMPARE(record.asked, 2);
        QCOMPARE(record.right, 2);
        // Every plate shows the line's real neighbours: d comes after c, not after b.
        QString reading;
        QVERIFY(LineNeighbour(2, -1, &reading));
        QCOMPARE(reading, QStringLiteral("う"));
        QVERIFY(LineNeighbour(1, +1, &reading));
        QCOMPARE(reading, QStringLiteral("う"));
        QVERIFY(!LineNeighbour(0, -1, &reading));
    }
    QCOMPARE(tableNames(), (QStringList {"a", "b", "c", "d", "e"}));
    QCOMPARE(gLineName, QStringLiteral("線"));
    QCOMPARE(CurrentLineKey(), key);
    QVERIFY(gSubset.origin.empty());
    QCOMPARE(GetOKcount(), 0);
    QVERIFY(!SubsetScope::active());
}

void TestSession::scopeRestoresWhenProgramEnds()
{
    FakeHost host;
    FakeFrontEnd ui(host);
    gLineFilePath = writeLineFile(dir_, "end.txt", {"線", "###", "a,あ", "b,い", "c,う"});
    QVERIFY(LoadLineFile(gLineFilePath));
    gGameMode = kModeHayauchi;
    host.after(1500, [&host] { host.endProgram(); });
    {
        const SubsetScope subset({2}, QStringLiteral("（苦手な駅）"));
        StartGame(ui);
        QVERIFY(platform::ending());
        QVERIFY(ui.over.empty());
    }
    QCOMPARE(tableNames(), (QStringList {"a", "b", "c"}));
    QCOMPARE(gLineName, QStringLiteral("線"));
    QVERIFY(gSubset.origin.empty());
}

// A loop line in 駅当て asks the closing pair too; its retry keeps that pair (last and first
// side by side only where the line runs round); ridden the other way it is the same line.
void TestSession::loopLineRetriedAndReversed()
{
    FakeHost host;
    FakeFrontEnd ui(host);
    gLineFilePath = writeLineFile(dir_, "loop.txt",
                                  {"環", "@環状", "###", "a,あ", "b,い", "c,う", "d,え", "e,お"});
    QVERIFY(LoadLineFile(gLineFilePath));
    QVERIFY(gLine.loop);
    const QString key = CurrentLineKey();
    gGameMode = kModeEkiate;
    // Five plates ask b, c, d, e and a: c and the closing a missed.
    ui.script = {{0, {5, "い"}}, {1, {5, "x"}}, {2, {5, "え"}}, {3, {5, "お"}}, {4, {5, "x"}}};
    StartGame(ui);
    QCOMPARE(ui.plates, (std::vector<int> {0, 1, 2, 3, 4, 0}));
    const FinishedGame game = CollectGame(true, QDateTime::currentDateTime());
    QCOMPARE(game.record.asked, 5);
    QCOMPARE(game.record.right, 3);
    QCOMPARE(game.record.answers.first().station, QStringLiteral("a"));
    QCOMPARE(game.record.answers.first().outcome, Outcome::Wrong);
    const QList<int> retry = RetryEntries(game.played);
    QCOMPARE(retry, (QList<int> {0, 1, 2, 4}));
    {
        const SubsetScope subset(retry, QStringLiteral("（再挑戦）"));
        ui.plates.clear();
        ui.script = {{1, {5, "う"}}, {3, {5, "あ"}}};
        StartGame(ui);
        // a-b and b-c are neighbours, c-e are not; e-a closes the round.
        const GameRecord record = CollectGame(true, QDateTime::currentDateTime()).record;
        QCOMPARE(record.asked, 3);
        QCOMPARE(record.right, 2);
        QCOMPARE(ui.plates, (std::vector<int> {0, 1, 3, 0}));
    }

    // From the terminus back: the table runs e to a, 駅当て asks each previous station, and the
    // history knows it as the same line.
    gLearning.reversed = true;
    QVERIFY(LoadLineFile(gLineFilePath));
    QCOMPARE(tableNames(), (QStringList {"e", "d", "c", "b", "a"}));
    QCOMPARE(CurrentLineKey(), key);
    QCOMPARE(AskedEntry(4, kModeEkiate), 0); // from a back round to e
}

void TestSession::answerGrade_data()
{
    QTest::addColumn<int>("outcome"); // Outcome
    QTest::addColumn<int>("tenths");
    QTest::addColumn<int>("hints");
    QTest::addColumn<int>("questionTenths");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("grade");
    const int right = int(Outcome::Right);
    QTest::newRow("wrong") << int(Outcome::Wrong) << 5 << 0 << 100 << 3 << 1;
    QTest::newRow("timed out") << int(Outcome::TimedOut) << 100 << 0 << 100 << 3 << 1;
    QTest::newRow("quick: easy") << right << 20 << 0 << 100 << 5 << 4;
    QTest::newRow("a quick hint: hard") << right << 20 << 1 << 100 << 5 << 2;
    QTest::newRow("middling: good") << right << 40 << 0 << 100 << 5 << 3;
    QTest::newRow("late: hard") << right << 80 << 0 << 100 << 5 << 2;
    // A long name typed at once is no slower recall than a short one.
    QTest::newRow("long name typed at once: easy") << right << 60 << 0 << 100 << 20 << 4;
    QTest::newRow("ten of thirty seconds: good") << right << 100 << 0 << 300 << 0 << 3;
}

void TestSession::answerGrade()
{
    QFETCH(int, outcome);
    QFETCH(int, tenths);
    QFETCH(int, hints);
    QFETCH(int, questionTenths);
    QFETCH(int, length);
    QTEST(AnswerGrade(Outcome(outcome), tenths, hints, questionTenths, length), "grade");
}

void TestSession::goalStreak()
{
    const QDate today(2026, 12, 8);
    QMap<QDate, int> days {
        {today.addDays(-3), 60}, {today.addDays(-2), 50}, {today.addDays(-1), 70}};
    QCOMPARE(GoalStreak(days, 50, today), 3); // today not yet reached: up to yesterday
    days[today] = 50;
    QCOMPARE(GoalStreak(days, 50, today), 4);
    days[today.addDays(-2)] = 49; // a day short breaks it
    QCOMPARE(GoalStreak(days, 50, today), 2);
    QCOMPARE(GoalStreak({}, 50, today), 0);
}

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
