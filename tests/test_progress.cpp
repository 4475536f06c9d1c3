// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehost.h"
#include "fonts.h"
#include "frmprogress.h"
#include "progresschart.h"
#include "progresstext.h"
#include "routediagram.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A line of n stations named 駅0, 駅1, ...: the first known, the second new, the rest learning.
LineProgress makeLine(int n, bool loop = false)
{
    LineProgress line;
    line.lineName = QStringLiteral("試験線");
    line.mode = 1;
    line.colour = qRgb(0x80, 0xc2, 0x41);
    line.loop = loop;
    for (int i = 0; i < n; ++i) {
        StationProgress s;
        s.name = QStringLiteral("駅%1").arg(i);
        s.reading = QStringLiteral("えき%1").arg(i);
        s.state = i == 0 ? CardState::Known : i == 1 ? CardState::New : CardState::Learning;
        if (s.state != CardState::New) {
            s.recall = 0.83;
            s.due = QDate(2026, 5, 3);
            s.lastAnswers = {Outcome::Right, Outcome::TimedOut};
        }
        line.stations << s;
    }
    for (int i = 0; i < 40; ++i)
        line.games << GamePoint {QDateTime(QDate(2026, 1, 1).addDays(i * 2), QTime(20, 0)),
                                 0.5 + i / 100.0, 1000 + 20 * i};
    return line;
}

int pixelsOf(const QImage& image, const QColor& colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y).rgb() == colour.rgb() ? 1 : 0;
    return n;
}

} // namespace

class TestProgress : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        platform::registerFontSubstitutions();
        QApplication::setFont(QFont(QString::fromUtf8(platform::kProportionalGothic), 9));
    }
    void knownShare();
    void diagramRunsInOrderAndWraps();
    void keyboardSelectsStation();
    void picturesRender();
    void chartStepsByGame_data();
    void chartStepsByGame();
    void csvGoesToTheExporter();
    void pictureSaveFailureIsTold();
    void mnemonicsAreUnique();
    void opensOnTheScreen();
};

void TestProgress::knownShare()
{
    QCOMPARE(KnownShare(LineProgress {}), 0.0);
    LineProgress line = makeLine(4);
    QCOMPARE(KnownShare(line), 0.25);
    QCOMPARE(KnownShareText(line),
             QStringLiteral("この路線の 25% を覚えました（4 駅のうち 1 駅）"));
    // Only a whole line is 100%.
    QCOMPARE(WholePercent(999.0 / 1000.0), 99);
    QCOMPARE(WholePercent(1.0), 100);
    LibraryProgress library;
    library.stations = 2321;
    library.known = 312;
    QCOMPARE(
        LibraryKnownText(library),
        QStringLiteral("全国 のべ 2,321 駅（路線ごとに数えて）のうち 312 駅（13%）を覚えました"));
}

void TestProgress::diagramRunsInOrderAndWraps()
{
    const LineProgress line = makeLine(1001);
    const RouteLayout layout = LayOutRoute(line, 600, QApplication::font());
    QCOMPARE(layout.dots.size(), 1001);
    QVERIFY(layout.rowStart.size() > 10);
    for (int i = 1; i < layout.dots.size(); ++i) {
        const QPointF a = layout.dots[i - 1], b = layout.dots[i];
        if (RowOf(layout, i) == RowOf(layout, i - 1)) {
            QVERIFY2(b.x() > a.x() && b.y() == a.y(), qPrintable(QString::number(i)));
            // Names never run into each other.
            QVERIFY(layout.labels[i - 1].right() < layout.labels[i].left());
        } else {
            QCOMPARE(RowOf(layout, i), RowOf(layout, i - 1) + 1);
            QVERIFY(b.y() > a.y() && b.x() < a.x());
        }
        QVERIFY(QRectF(QPointF(0, 0), QSizeF(layout.size)).contains(layout.labels[i]));
    }
    // The station a click on a dot finds, and the one a key moves down to.
    QCOMPARE(StationAt(layout, layout.dots[500]), 500);
    QCOMPARE(RowOf(layout, StationInRow(layout, 0, 1)), 1);

    // A loop's track closes back into its first station; a line's ends at its last.
    const RouteLayout loop = LayOutRoute(makeLine(30, true), 800, QApplication::font());
    QCOMPARE(loop.track.currentPosition(), loop.dots.first());
    QVERIFY(!loop.loopLabel.isEmpty());
    const RouteLayout open = LayOutRoute(makeLine(30), 800, QApplication::font());
    QCOMPARE(open.track.currentPosition(), open.dots.last());
}

void TestProgress::keyboardSelectsStation()
{
    FakeHost host;
    frmProgress window(makeLine(60), {}, {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.picRoute->setFocus();
    QVERIFY(window.lblStation->text().contains(QStringLiteral("クリック")));
    QTest::keyClick(window.picRoute, Qt::Key_Right);
    QCOMPARE(window.picRoute->selected(), 0);
    QTest::keyClick(window.picRoute, Qt::Key_Right);
    QCOMPARE(window.picRoute->selected(), 1);
    QVERIFY(window.lblStation->text().contains(QStringLiteral("駅1（えき1）")));
    QVERIFY(window.lblStation->text().contains(QStringLiteral("まだ出題されていません")));
    QTest::keyClick(window.picRoute, Qt::Key_End);
    QCOMPARE(window.picRoute->selected(), 59);
    QTest::keyClick(window.picRoute, Qt::Key_Home);
    QTest::keyClick(window.picRoute, Qt::Key_Down);
    const int below = window.picRoute->selected();
    QCOMPARE(RowOf(window.picRoute->routeLayout(), below), 1);
    const QString details = window.lblStation->text();
    QVERIFY2(details.startsWith(QStringLiteral("駅%1（えき%1）").arg(below)), qPrintable(details));
    QVERIFY(details.contains(QStringLiteral("正解・時間切れ")));
    QVERIFY(details.contains(QStringLiteral("2026/05/03")));
    QVERIFY(details.contains(QStringLiteral("思い出せる見込み 83%")));

    // F6 and ♪ 読み say the selected station's reading, once a voice is given; none before.
    QStringList said;
    QTest::keyClick(window.picRoute, Qt::Key_F6);
    QVERIFY(window.cmdSpeak->isHidden());
    window.setSayReading(
        [&](const QString& name, const QString& reading) { said << name + u'/' + reading; });
    QVERIFY(!window.cmdSpeak->isHidden());
    QTest::keyClick(window.picRoute, Qt::Key_F6);
    QTest::keyClick(window.picRoute, Qt::Key_Right);
    window.cmdSpeak->click();
    QCOMPARE(said,
             QStringList({QStringLiteral("駅%1/えき%1").arg(below),
                          QStringLiteral("駅%1/えき%1").arg(below + 1)}));
}

void TestProgress::picturesRender()
{
    const LineProgress line = makeLine(30, true);
    const QImage chart = RenderChart(line, QSize(800, 400), QApplication::font());
    QCOMPARE(chart.size(), QSize(800, 400));
    QVERIFY(pixelsOf(chart, kRateColour) > 100);
    QVERIFY(pixelsOf(chart, kScoreColour) > 100);

    const QImage route = RenderRoute(line, 700, QApplication::font());
    QCOMPARE(route.width(), 700);
    QVERIFY(route.height() >= LayOutRoute(line, 700, QApplication::font()).size.height());
    QVERIFY(pixelsOf(route, QColor::fromRgba(line.colour)) > 1000);
    QVERIFY(pixelsOf(route, CardStateColour(CardState::Known)) > 10);

    // Nothing to show is still a picture, and no crash.
    QCOMPARE(RenderChart(LineProgress {}, QSize(300, 200), QApplication::font()).size(),
             QSize(300, 200));
    QCOMPARE(RenderRoute(LineProgress {}, 300, QApplication::font()).width(), 300);
}

void TestProgress::chartStepsByGame_data()
{
    QTest::addColumn<QList<int>>("days"); // each game's day after the first, oldest first
    QTest::addColumn<qreal>("width");
    QTest::addColumn<QList<int>>("named"); // the games whose day is named; empty: not checked
    QTest::newRow("three games on one day") << QList<int> {0, 0, 0} << 600.0 << QList<int> {0};
    QTest::newRow("days of several games")
        << QList<int> {0, 0, 1, 1, 1, 3} << 600.0 << QList<int> {0, 2, 5};
    QList<int> daily;
    for (int day = 0; day < 60; ++day)
        daily << day;
    QTest::newRow("a game a day on a narrow chart") << daily << 240.0 << QList<int> {};
}

void TestProgress::chartStepsByGame()
{
    QFETCH(QList<int>, days);
    QFETCH(qreal, width);
    QFETCH(QList<int>, named);
    QList<GamePoint> games;
    for (int i = 0; i < int(days.size()); ++i) {
        games << GamePoint {
            QDateTime(QDate(2026, 4, 28).addDays(days[i]), QTime(8, 0).addSecs(60 * i)), 0.5, 100};
    }
    const QRectF plot(40, 20, width, 200);
    // One step a game, oldest on the left, all within the plot.
    for (int i = 0; i < int(games.size()); ++i) {
        const qreal x = ChartGameX(plot, games.size(), i);
        QVERIFY(x > plot.left() && x < plot.right());
        if (i > 0)
            QVERIFY(x - ChartGameX(plot, games.size(), i - 1) >= width / games.size() - 0.01);
    }
    const QFontMetricsF fm(QApplication::font());
    const QList<ChartDayLabel> labels = ChartDayLabels(plot, games, fm);
    QList<int> got;
    for (int i = 0; i < int(labels.size()); ++i) {
        const ChartDayLabel& label = labels[i];
        got << label.game;
        // Each at the first game of its day, under the plot, clear of the one before.
        QCOMPARE(label.text, games[label.game].when.date().toString(QStringLiteral("M/d")));
        QVERIFY(label.game == 0
                || games[label.game - 1].when.date() != games[label.game].when.date());
        QVERIFY(label.rect.left() >= plot.left() && label.rect.right() <= plot.right());
        QVERIFY(label.rect.top() > plot.bottom());
        if (i > 0)
            QVERIFY(labels[i - 1].rect.right() < label.rect.left());
    }
    QVERIFY(!got.isEmpty() && got.first() == 0);
    if (!named.isEmpty())
        QCOMPARE(got, named);
    else
        QVERIFY(got.size() > 3 && got.size() < games.size());
}

void TestProgress::csvGoesToTheExporter()
{
    FakeHost host;
    QStringList paths;
    bool succeed = true;
    frmProgress window(makeLine(5), {}, [&](const QString& path, QString* why) {
        paths << path;
        if (!succeed)
            *why = QStringLiteral("ディスクがいっぱいです");
        return succeed;
    });
    host.saveDialogAnswer.clear();
    window.cmdSaveCsv->click();
    QCOMPARE(host.saveDialogs, 1);
    QVERIFY(paths.isEmpty()); // cancelled
    QVERIFY(host.lastSaveDialog.filters.first().contains(QStringLiteral("*.csv")));

    host.saveDialogAnswer = QStringLiteral("/tmp/成績/rireki");
    window.cmdSaveCsv->click();
    QCOMPARE(paths, QStringList {QStringLiteral("/tmp/成績/rireki.csv")});
    QVERIFY(host.messages.empty());

    succeed = false;
    window.cmdSaveCsv->click();
    QCOMPARE(host.messages.size(), size_t(1));
    QVERIFY(host.messages[0].text.contains(QStringLiteral("履歴を保存できませんでした")));
    QVERIFY(host.messages[0].text.contains(QStringLiteral("ディスクがいっぱいです")));
}

void TestProgress::pictureSaveFailureIsTold()
{
    FakeHost host;
    QTemporaryDir dir;
    frmProgress window(makeLine(30), {}, {});
    QVERIFY(!window.cmdSaveCsv->isEnabled()); // no exporter, nothing to press
    host.saveDialogAnswer = dir.filePath(QStringLiteral("路線図"));
    window.cmdSaveRoute->click();
    const QImage saved(dir.filePath(QStringLiteral("路線図.png")));
    QCOMPARE(saved.size(), window.routeImage().size());
    QVERIFY(host.messages.empty());

    host.saveDialogAnswer = dir.filePath(QStringLiteral("無い/グラフ.png"));
    window.cmdSaveChart->click();
    QCOMPARE(host.messages.size(), size_t(1));
    QVERIFY(host.messages[0].text.startsWith(QStringLiteral("グラフの画像を保存できませんでした")));
}

void TestProgress::mnemonicsAreUnique()
{
    FakeHost host;
    frmProgress window(makeLine(3), {}, [](const QString&, QString*) { return true; });
    QStringList texts;
    for (const QPushButton* b : window.findChildren<QPushButton*>())
        texts << b->text();
    for (const QLabel* l : window.findChildren<QLabel*>())
        texts << l->text();
    for (int i = 0; i < window.tabPages->count(); ++i)
        texts << window.tabPages->tabText(i);
    static const QRegularExpression mnemonic(QStringLiteral("&([^&])"));
    QSet<QChar> seen;
    for (const QString& t : texts) {
        const QRegularExpressionMatch m = mnemonic.match(t);
        if (!m.hasMatch())
            continue;
        const QChar key = m.captured(1).at(0).toUpper();
        QVERIFY2(!seen.contains(key), qPrintable(t));
        seen.insert(key);
    }
    QCOMPARE(seen.size(), 8);
}

void TestProgress::opensOnTheScreen()
{
    FakeHost host;
    frmProgress window(makeLine(1001), {}, {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect available = window.screen()->availableGeometry();
    QVERIFY(available.contains(window.geometry()));
    QVERIFY(window.width() >= window.minimumSizeHint().width());
    QCOMPARE(window.windowTitle(), QStringLiteral("成績 - 試験線"));
}

QTEST_MAIN(TestProgress)
#include "test_progress.moc"
