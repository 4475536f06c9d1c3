// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
//
// What a card says of the learner, the one rule every window asks: its state, its chance of
// recall and whether its station counts as known, on a given day.
#include "card.h"
#include "grade.h"
#include "lesson.h"

#include <QTest>

namespace {

const QDate kToday(2026, 6, 10);

StoredCard cardOf(std::int32_t mode, int reps, bool lastRight, double stability, int dueIn,
                  int reviewedAgo)
{
    StoredCard c;
    c.mode = mode;
    c.station = QStringLiteral("駒込");
    c.reading = QStringLiteral("こまごめ");
    c.reps = reps;
    c.lastRight = lastRight;
    c.stability = stability;
    c.difficulty = 5.0;
    c.due = kToday.addDays(dueIn);
    c.lastReview = kToday.addDays(-reviewedAgo);
    return c;
}

} // namespace

Q_DECLARE_METATYPE(StoredCard)
Q_DECLARE_METATYPE(CardState)

class TestMemory : public QObject
{
    Q_OBJECT
private slots:
    void cardSays_data();
    void cardSays();
    void stationIdentity();
    void reviewRules();
    void newStations_data();
    void newStations();
    void reviewLimitAndGoal();
};

void TestMemory::cardSays_data()
{
    QTest::addColumn<StoredCard>("card");
    QTest::addColumn<CardState>("state");
    QTest::addColumn<double>("recallAtMost");
    QTest::addColumn<double>("recallAtLeast");
    QTest::addColumn<bool>("stationKnown");

    QTest::newRow("never reviewed") << StoredCard {} << CardState::New << -1.0 << -1.0 << false;
    QTest::newRow("held a month, not due")
        << cardOf(kCardReading, 4, true, 30.0, 12, 3) << CardState::Known << 1.0 << 0.9 << true;
    // The same memory on a link is the line's order, not the station's reading.
    QTest::newRow("link held a month")
        << cardOf(kCardLink, 4, true, 30.0, 12, 3) << CardState::Known << 1.0 << 0.9 << false;
    QTest::newRow("a week's memory")
        << cardOf(kCardReading, 2, true, 7.0, 4, 1) << CardState::Learning << 1.0 << 0.9 << false;
    QTest::newRow("due today") << cardOf(kCardReading, 5, true, 40.0, 0, 40) << CardState::Due
                               << 0.95 << 0.85 << false;
    QTest::newRow("overdue") << cardOf(kCardReading, 5, true, 40.0, -3, 43) << CardState::Due
                             << 0.95 << 0.8 << false;
    // Missed today after a long memory: FSRS still promises nearly everything; the learner did
    // not know it.
    QTest::newRow("missed today") << cardOf(kCardReading, 6, false, 20.0, 1, 0)
                                  << CardState::Forgotten << 0.5 << 0.5 << false;
    QTest::newRow("missed long ago") << cardOf(kCardReading, 3, false, 2.0, -20, 30)
                                     << CardState::Forgotten << 0.5 << 0.0 << false;
}

void TestMemory::cardSays()
{
    QFETCH(StoredCard, card);
    QFETCH(CardState, state);
    QFETCH(double, recallAtMost);
    QFETCH(double, recallAtLeast);
    QFETCH(bool, stationKnown);
    QCOMPARE(StateOf(card, kToday), state);
    const double recall = RecallOf(card, kToday);
    QVERIFY2(recall <= recallAtMost + 1e-9 && recall >= recallAtLeast - 1e-9,
             qPrintable(QString::number(recall)));
    QCOMPARE(IsKnown(card, kToday), state == CardState::Known);
    QCOMPARE(MakesStationKnown(card, kToday), stationKnown);
}

void TestMemory::stationIdentity()
{
    // One name, two readings: two stations (上道 on two JR West lines).
    const StationId a {QStringLiteral("上道"), QStringLiteral("じょうとう")};
    const StationId b {QStringLiteral("上道"), QStringLiteral("あがりみち")};
    QVERIFY(!(a == b));
    QCOMPARE(a.key(), QStringLiteral("上道,じょうとう"));
    QCOMPARE(StationKey(a.name, a.reading), a.key());
    QVERIFY(qHash(a) != qHash(b));
    QVERIFY(!MakesCards(0) && MakesCards(1) && MakesCards(2) && !MakesCards(-1));
    QCOMPARE(CardModeFor(0), kCardReading);
    QCOMPARE(CardModeFor(2), kCardLink);
}

// Easy is for a card already known; a miss is due by tomorrow whatever its stability.
void TestMemory::reviewRules()
{
    StoredCard fresh;
    QCOMPARE(CardGrade(fresh, 4), 3);
    const StoredCard known = cardOf(kCardReading, 4, true, 30.0, 12, 3);
    QCOMPARE(CardGrade(known, 4), 4);
    const StoredCard lapsed = cardOf(kCardReading, 4, false, 3.0, 1, 0);
    QCOMPARE(CardGrade(lapsed, 4), 3);
    QCOMPARE(CardGrade(lapsed, 1), 1);

    ReviewCard(fresh, kToday, 4, 0.9);
    QCOMPARE(fresh.firstReview, kToday);
    QVERIFY2(fresh.stability < 3.0,
             qPrintable(QString::number(fresh.stability))); // Good's, not Easy's 8.3

    // Right, then missed the same day: FSRS's stability after the miss may still reach past
    // tomorrow; the due day does not.
    StoredCard c = cardOf(kCardReading, 3, true, 40.0, 30, 10);
    ReviewCard(c, kToday, 1, 0.9);
    QVERIFY(!c.lastRight);
    QCOMPARE(c.lapses, 1);
    QVERIFY(c.stability > 1.0);
    QCOMPARE(c.due, kToday.addDays(1));
}

void TestMemory::newStations_data()
{
    QTest::addColumn<QStringList>("line");
    QTest::addColumn<QStringList>("withCard");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QList<int>>("expected");
    const QStringList line {"a", "b", "c", "d", "e"};
    QTest::newRow("running order") << line << QStringList {} << 3 << QList<int> {0, 1, 2};
    QTest::newRow("some known") << line << QStringList {"a", "c"} << 2 << QList<int> {1, 3};
    QTest::newRow("all known") << line << line << 10 << QList<int> {};
    QTest::newRow("none today") << line << QStringList {} << 0 << QList<int> {};
    QTest::newRow("a station twice")
        << QStringList {"a", "b", "a", "c"} << QStringList {} << 5 << QList<int> {0, 1, 3};
}

void TestMemory::newStations()
{
    QFETCH(QStringList, line);
    QFETCH(QStringList, withCard);
    QFETCH(int, limit);
    QFETCH(QList<int>, expected);
    QList<StationId> stations;
    for (const QString& s : line)
        stations.append({s, s});
    QSet<QString> keys;
    for (const QString& s : withCard)
        keys.insert(StationKey(s, s));
    QCOMPARE(NewStations(stations, keys, limit), expected);
    // The direction ridden is the order given: from the terminus, e first.
    QList<StationId> back(stations.crbegin(), stations.crend());
    if (withCard.isEmpty() && limit > 0 && line.size() == 5)
        QCOMPARE(back[NewStations(back, keys, 1).value(0)].name, QStringLiteral("e"));
    // Links only where both readings have cards; on a loop the first is reached from the last.
    QSet<QString> all;
    for (const StationId& s : stations)
        all.insert(s.key());
    if (line.size() == 5) {
        QCOMPARE(NewLinks(stations, false, all, {}, 10), (QList<int> {1, 2, 3, 4}));
        QCOMPARE(NewLinks(stations, true, all, {StationKey("b", "b")}, 2), (QList<int> {0, 2}));
        // a and c have cards but are no neighbours: no link between them.
        if (QTest::currentDataTag() == QLatin1String("some known"))
            QVERIFY(NewLinks(stations, false, keys, {}, 10).isEmpty());
    }
}

// Today's review within its limit asks the most forgotten first; a day whose review was done
// meets the goal however few its answers.
void TestMemory::reviewLimitAndGoal()
{
    QList<StoredCard> due;
    for (int i = 0; i < 5; ++i) {
        StoredCard c = cardOf(kCardReading, 3, true, 2.0 + i * 5, 0, 5 + i);
        c.station = QString::number(i);
        due << c;
    }
    int waiting = 0;
    const QList<StoredCard> kept = WithinReviewLimit(due, 2, kToday, &waiting);
    QCOMPARE(waiting, 3);
    QCOMPARE(kept.size(), 2);
    QCOMPARE(kept[0].station, QStringLiteral("0"));
    QVERIFY(RecallOf(kept[1], kToday) <= RecallOf(due[2], kToday));
    QCOMPARE(WithinReviewLimit(due, 10, kToday, &waiting).size(), 5);
    QCOMPARE(waiting, 0);

    const QMap<QDate, int> answers {
        {kToday.addDays(-2), 60}, {kToday.addDays(-1), 12}, {kToday, 49}};
    QCOMPARE(GoalStreak(answers, 50, kToday), 0);
    QCOMPARE(GoalStreak(answers, 50, kToday, {kToday}), 1);
    QCOMPARE(GoalStreak(answers, 50, kToday, {kToday, kToday.addDays(-1)}), 3);
    QCOMPARE(NewAllowedToday(10, 4), 6);
    QCOMPARE(NewAllowedToday(10, 12), 0);
}

QTEST_GUILESS_MAIN(TestMemory)
#include "test_memory.moc"
