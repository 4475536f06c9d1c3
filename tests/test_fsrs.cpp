// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The scheduler against an implementation we did not write: the expected numbers were computed
// by ts-fsrs 5.4.2 (FSRSAlgorithm, default FSRS-6 weights, no fuzz) with tools/fsrs-reference.mjs,
// except the rows marked as our own rules. S, D and recall agree to 1e-3 relative, days exactly.
#include "fsrs.h"

#include <QTest>
#include <cmath>

using enum fsrs::Grade;

namespace {

// A memory before a review, the review, then the new S, D and interval at retention 0.9.
struct Transition
{
    double s, d, elapsed;
    fsrs::Grade grade;
    double nextS, nextD;
    int days;
};
struct Interval
{
    double s, retention;
    int maximum, days;
};
struct Recall
{
    double elapsed, s, r;
};
// A new card reviewed on days counted from kStart, then its last review, due day, reps, lapses, S.
struct Schedule
{
    QList<std::pair<int, fsrs::Grade>> reviews;
    int last, due, reps, lapses;
    double s;
};
const QDate kStart(2026, 4, 1);

#define QCOMPARE_CLOSE(actual, expected)                                                           \
    QVERIFY2(std::abs((actual) - (expected)) <= 1e-3 * std::abs(expected),                         \
             qPrintable(QString::number(actual, 'g', 10) + " != " + QString::number(expected)))

} // namespace

Q_DECLARE_METATYPE(Transition)
Q_DECLARE_METATYPE(Interval)
Q_DECLARE_METATYPE(Recall)
Q_DECLARE_METATYPE(Schedule)

class TestFsrs : public QObject
{
    Q_OBJECT
private slots:
    void memory_data()
    {
        QTest::addColumn<Transition>("row");
        QTest::newRow("first Again") << Transition {0, 0, 0, Again, 0.212, 6.4133, 1};
        QTest::newRow("first Hard") << Transition {0, 0, 0, Hard, 1.2931, 5.11217, 1};
        QTest::newRow("first Good") << Transition {0, 0, 0, Good, 2.3065, 2.1181, 2};
        QTest::newRow("first Easy") << Transition {0, 0, 0, Easy, 8.2956, 1, 8};
        QTest::newRow("lapse after 10 days")
            << Transition {2.3065, 2.1181, 10, Again, 0.75916, 7.3945, 1};
        QTest::newRow("Good after 400 days")
            << Transition {20, 5, 400, Good, 183.677, 4.99023, 184};
        QTest::newRow("same day Again")
            << Transition {2.3065, 2.1181, 0, Again, 0.775084, 7.3945, 1};
        QTest::newRow("same day Hard") << Transition {2.3065, 2.1181, 0, Hard, 2.3065, 4.75286, 2};
        QTest::newRow("same day Good") << Transition {2.3065, 2.1181, 0, Good, 2.3065, 2.11121, 2};
        QTest::newRow("same day Easy") << Transition {2.3065, 2.1181, 0, Easy, 3.94605, 1, 4};
        QTest::newRow("Hard after 7 days") << Transition {5, 6, 7, Hard, 12.8046, 7.32984, 13};
        QTest::newRow("Good after 7 days") << Transition {5, 6, 7, Good, 17.9774, 5.98923, 18};
        QTest::newRow("Easy after 7 days") << Transition {5, 6, 7, Easy, 29.3054, 4.64861, 29};
        QTest::newRow("lapse held below S")
            << Transition {0.1, 1, 100, Again, 0.0951728, 7.02699, 1};
        QTest::newRow("Again near D=10") << Transition {5, 9.5, 3, Again, 0.870777, 9.82088, 1};
        QTest::newRow("Easy near D=1") << Transition {5, 1.2, 3, Easy, 30.7107, 1, 31};
        QTest::newRow("Good on time") << Transition {2.3065, 2.1181, 2, Good, 10.9643, 2.11121, 11};
    }

    // Rows with S = 0 are first reviews, through both NextMemory and InitialMemory.
    void memory()
    {
        QFETCH(Transition, row);
        const fsrs::Parameters p;
        const fsrs::Memory m = fsrs::NextMemory({row.s, row.d}, row.elapsed, row.grade, p);
        QCOMPARE_CLOSE(m.stability, row.nextS);
        QCOMPARE_CLOSE(m.difficulty, row.nextD);
        QCOMPARE(fsrs::NextIntervalDays(m.stability, p), row.days);
        if (row.s == 0) {
            QCOMPARE_CLOSE(fsrs::InitialMemory(row.grade, p).stability, row.nextS);
            QCOMPARE_CLOSE(fsrs::InitialMemory(row.grade, p).difficulty, row.nextD);
        }
    }

    void interval_data()
    {
        QTest::addColumn<Interval>("row");
        QTest::newRow("S=10 at 0.8") << Interval {10, 0.8, 36500, 33};
        QTest::newRow("S=100 at 0.8") << Interval {100, 0.8, 36500, 332};
        QTest::newRow("S=10 at 0.97") << Interval {10, 0.97, 36500, 2};
        QTest::newRow("S=100 at 0.97") << Interval {100, 0.97, 36500, 22};
        QTest::newRow("S=0.212 at 0.9") << Interval {0.212, 0.9, 36500, 1};
        QTest::newRow("S=5000 at 0.8, max 365") << Interval {5000, 0.8, 365, 365};
        // Ours: the desired retention is clamped, giving the days at 0.8 and 0.97 above.
        QTest::newRow("0.5 taken as 0.8") << Interval {100, 0.5, 36500, 332};
        QTest::newRow("0.99 taken as 0.97") << Interval {100, 0.99, 36500, 22};
    }

    void interval()
    {
        QFETCH(Interval, row);
        const fsrs::Parameters p {.desiredRetention = row.retention,
                                  .maximumIntervalDays = row.maximum};
        QCOMPARE(fsrs::NextIntervalDays(row.s, p), row.days);
    }

    void retrievability_data()
    {
        QTest::addColumn<Recall>("row");
        QTest::newRow("t=10 S=10") << Recall {10, 10, 0.9};
        QTest::newRow("t=1 S=10") << Recall {1, 10, 0.985682};
        QTest::newRow("t=100 S=10") << Recall {100, 10, 0.692827};
        QTest::newRow("t=400 S=20") << Recall {400, 20, 0.627161};
        QTest::newRow("ours: never reviewed") << Recall {0, 0, 0};
        QTest::newRow("ours: before the review") << Recall {-5, 10, 1};
    }

    void retrievability()
    {
        QFETCH(Recall, row);
        QCOMPARE_CLOSE(fsrs::Retrievability(row.elapsed, row.s, fsrs::Parameters {}), row.r);
    }

    void review_data()
    {
        QTest::addColumn<Schedule>("row");
        QTest::newRow("first Good") << Schedule {{{0, Good}}, 0, 2, 1, 0, 2.3065};
        QTest::newRow("first Again is no lapse") << Schedule {{{0, Again}}, 0, 1, 1, 0, 0.212};
        QTest::newRow("Good on the due day")
            << Schedule {{{0, Good}, {2, Good}}, 2, 13, 2, 0, 10.9643};
        QTest::newRow("lapse") << Schedule {{{0, Good}, {10, Again}}, 10, 11, 2, 1, 0.75916};
        QTest::newRow("two lapses")
            << Schedule {{{0, Good}, {10, Again}, {11, Again}}, 11, 12, 3, 2, 0.255982};
        QTest::newRow("twice the same day")
            << Schedule {{{0, Good}, {0, Good}}, 0, 2, 2, 0, 2.3065};
        QTest::newRow("Easy later") << Schedule {{{270, Easy}}, 270, 278, 1, 0, 8.2956};
        QTest::newRow("Hard after a month")
            << Schedule {{{0, Good}, {31, Hard}}, 31, 55, 2, 0, 23.6504};
        // Ours: a date before the last review is taken as the same day.
        QTest::newRow("clock set back") << Schedule {{{9, Good}, {4, Easy}}, 4, 8, 2, 0, 3.94605};
    }

    void review()
    {
        QFETCH(Schedule, row);
        fsrs::Card card;
        for (const auto& [day, grade] : row.reviews)
            card = fsrs::Review(card, kStart.addDays(day), grade, fsrs::Parameters {});
        QCOMPARE(card.lastReview, kStart.addDays(row.last));
        QCOMPARE(card.due, kStart.addDays(row.due));
        QCOMPARE(card.reps, row.reps);
        QCOMPARE(card.lapses, row.lapses);
        QCOMPARE_CLOSE(card.memory.stability, row.s);
    }
};

QTEST_GUILESS_MAIN(TestFsrs)
#include "test_fsrs.moc"
