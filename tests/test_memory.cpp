// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
//
// What a card says of the learner, the one rule every window asks: its state, its chance of
// recall and whether its station counts as known, on a given day.
#include "card.h"

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

QTEST_GUILESS_MAIN(TestMemory)
#include "test_memory.moc"
