// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fonts.h"
#include "frmscorelist.h"
#include "gamestate.h"
#include "scorereport.h"
#include "stationtable.h"
#include "twips.h"

#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <limits>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Loads names into the table; entries "OK:<tenths>" / "NG" in results set the verdicts.
void loadStations(const QStringList& names, const QStringList& results = {})
{
    ResetStationTable();
    for (int i = 0; i < names.size(); ++i)
        StationTable[i].StationName = names[i];
    for (int i = 0; i < results.size(); ++i) {
        if (results[i].startsWith(QStringLiteral("OK:"))) {
            StationTable[i].IsOK = -1;
            StationTable[i].RemainTenths = results[i].mid(3).toInt();
        } else {
            StationTable[i].IsOK = 0;
            StationTable[i].RemainTenths = 0;
        }
    }
    gStationCount = std::int32_t(std::max(names.size(), results.size()));
}

QStringList reportLines(const QString& report)
{
    return report.split(kCrLf);
}

// Lines 1 to 10 of the report by number, station rows counted as one block.
QString summaryLine(const QString& report)
{
    const QStringList lines = reportLines(report);
    return lines.value(lines.size() - 2);
}

QString rule(int length)
{
    return QString(length, u'-');
}

const QStringList kSmallLine {"東京", "神田", "秋葉原", "西日暮里", "上野"};
const QStringList kSmallResults {"OK:73", "NG", "OK:100", "OK:45", "NG"};

} // namespace

class TestResults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { platform::registerFontSubstitutions(); }
    void init();

    void formatFixed_data();
    void formatFixed();
    void fullReport_data();
    void fullReport();
    void headerAndRule_data();
    void headerAndRule();
    void verdicts_data();
    void verdicts();
    void summary_data();
    void summary();
    void score_data();
    void score();
    void lineBreaks_data();
    void lineBreaks();
    void thousandAndOneStations();
    void stationCountOutOfRange_data();
    void stationCountOutOfRange();
    void maxLenB_data();
    void maxLenB();
    void stoppedGameShowsTheGlobals();

    void signalPictures_data();
    void signalPictures();
    void signalShownForGrade_data();
    void signalShownForGrade();
    void signalsStayCrisp();
    void windowFrameAndText();
    void designLayout();
    void opensTallEnoughForTheReport_data();
    void opensTallEnoughForTheReport();
    void minimumSizeHolds_data();
    void minimumSizeHolds();
    void layoutFollowsSize_data();
    void layoutFollowsSize();
    void okCloses();
    void enterCloses();
    void reopeningRebuildsAndChangesNoGlobal();
};

void TestResults::init()
{
    ResetStationTable();
    ResetGameState();
}

void TestResults::formatFixed_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("exact half up, 2") << 0.125 << 2 << "0.13";
    QTest::newRow("0.005 lies above its half") << 0.005 << 2 << "0.01";
    QTest::newRow("exact half up, 1") << 0.25 << 1 << "0.3";
    QTest::newRow("0.35 lies below its half") << 0.35 << 1 << "0.3";
    QTest::newRow("2.675 lies below its half") << 2.675 << 2 << "2.67";
    QTest::newRow("float 2.675") << double(2.675f) << 2 << "2.67";
    QTest::newRow("0.995 lies below") << 0.995 << 2 << "0.99";
    QTest::newRow("halves away from even 0") << 2.5 << 0 << "3";
    QTest::newRow("halves away from even 1") << 0.5 << 0 << "1";
    QTest::newRow("negative half away from zero") << -0.25 << 1 << "-0.3";
    QTest::newRow("carry into a new digit") << 9.96 << 1 << "10.0";
    QTest::newRow("carry from 999.5") << 999.5 << 0 << "1000";
    QTest::newRow("zero") << 0.0 << 1 << "0.0";
    QTest::newRow("negative zero") << -0.0 << 2 << "0.00";
    QTest::newRow("rounds to zero, no sign") << -0.001 << 2 << "0.00";
    QTest::newRow("leading zero kept") << 0.07 << 2 << "0.07";
    QTest::newRow("plain") << 2.7 << 1 << "2.7";
    QTest::newRow("third") << 1.0 / 3.0 << 2 << "0.33";
    QTest::newRow("large") << 1e20 << 1 << "100000000000000000000.0";
    QTest::newRow("smallest subnormal") << std::numeric_limits<double>::denorm_min() << 2 << "0.00";
    QTest::newRow("largest double") << std::numeric_limits<double>::max() << 0
                                    << QString::number(std::numeric_limits<double>::max(), 'f', 0);
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 1 << "0.0";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 2 << "0.00";
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << 1 << "0.0";
}

void TestResults::formatFixed()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(FormatFixed(value, decimals), expected);
}

void TestResults::fullReport_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("expected");
    // Rate 0.6, score 123; results 2.7 s, NG, 0.0 s, 5.5 s, NG.
    QTest::newRow("早打ち") << 0
                            << QStringList {
                                   "File: yamanote.txt",
                                   "線名: 山手線",
                                   "MODE: 早打ちモード",
                                   "",
                                   "      駅名      評価  秒数",
                                   "--------------------------",
                                   "000:  東京      OK    2.7",
                                   "001:  神田      NG",
                                   "002:  秋葉原    OK    0.0",
                                   "003:  西日暮里  OK    5.5",
                                   "004:  上野      NG",
                                   "--------------------------",
                                   "正解率 :  60.0%     平均秒数:  2.73",
                                   "得点: 123",
                               };
    // The first station is shown, not asked: no verdict, and its result does not count.
    QTest::newRow("駅当て") << 2
                            << QStringList {
                                   "File: yamanote.txt",
                                   "線名: 山手線",
                                   "MODE: 駅当てモード",
                                   "",
                                   "      駅名      評価  秒数",
                                   "--------------------------",
                                   "000:  東京    ",
                                   "001:  神田      NG",
                                   "002:  秋葉原    OK    0.0",
                                   "003:  西日暮里  OK    5.5",
                                   "004:  上野      NG",
                                   "--------------------------",
                                   "正解率 :  60.0%     平均秒数:  2.75",
                                   "得点: 123",
                               };
}

void TestResults::fullReport()
{
    QFETCH(int, mode);
    QFETCH(QStringList, expected);
    loadStations(kSmallLine, kSmallResults);
    gLineFilePath = QStringLiteral("/opt/tabidori/line/yamanote.txt");
    gLineName = QStringLiteral("山手線");
    gGameMode = mode;
    gCorrectRate = 0.6f;
    gScore = 123;

    const QByteArray want = expected.join(kCrLf).toUtf8();
    QCOMPARE(BuildScoreReport().toUtf8(), want);

    ReportInput input;
    input.lineFilePath = gLineFilePath;
    input.lineName = gLineName;
    input.gameMode = mode;
    input.correctRate = 0.6f;
    input.score = 123;
    input.stations = std::span<const StationRecord>(StationTable.data(), 5);
    QCOMPARE(BuildScoreReport(input).toUtf8(), want);
}

void TestResults::headerAndRule_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("ruleLength");
    QTest::addColumn<QString>("firstRow"); // every station answered wrong
    QTest::newRow("four full-width") << QStringList {"東京", "西日暮里"}
                                     << "      駅名      評価  秒数" << 26 << "000:  東京      NG";
    QTest::newRow("one full-width")
        << QStringList {"駅", "a"} << "      駅名評価  秒数" << 20 << "000:  駅  NG";
    // Half-width characters take one column: the verdicts stay in the heading's column.
    QTest::newRow("half-width") << QStringList {"abcdef"} << "      駅名    評価  秒数" << 24
                                << "000:  abcdef  NG";
    QTest::newRow("half-width digits")
        << QStringList {"北34条", "東田子の浦"} << "      駅名        評価  秒数" << 28
        << "000:  北34条      NG";
    // Heading wider than the names: "評価" follows at once, the rows keep their layout.
    QTest::newRow("empty names") << QStringList {"", ""} << "      駅名評価  秒数" << 18
                                 << "000:    NG";
    QTest::newRow("no stations") << QStringList {} << "      駅名評価  秒数" << 18 << "";
}

void TestResults::headerAndRule()
{
    QFETCH(QStringList, names);
    QFETCH(QString, header);
    QFETCH(int, ruleLength);
    QFETCH(QString, firstRow);
    QStringList results;
    for (int i = 0; i < names.size(); ++i)
        results << QStringLiteral("NG");
    loadStations(names, results);
    const QStringList lines = reportLines(BuildScoreReport());
    QCOMPARE(lines.size(), 9 + names.size());
    QCOMPARE(lines[3], QString());
    QCOMPARE(lines[4], header);
    QCOMPARE(lines[5], rule(ruleLength));
    QCOMPARE(lines[lines.size() - 3], rule(ruleLength));
    if (!names.isEmpty())
        QCOMPARE(lines[6], firstRow);
    QCOMPARE(lines[lines.size() - 2], QStringLiteral("正解率 :  0.0%     平均秒数:  0.00"));
}

void TestResults::verdicts_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("isOK");
    QTest::addColumn<int>("remainTenths");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("2.7 s") << 0 << 1 << -1 << 73 << "  OK    2.7";
    QTest::newRow("at once") << 0 << 1 << -1 << 100 << "  OK    0.0";
    QTest::newRow("all the time") << 0 << 1 << -1 << 0 << "  OK    10.0";
    QTest::newRow("last tenth") << 1 << 1 << -1 << 1 << "  OK    9.9";
    QTest::newRow("any non-zero flag is right") << 0 << 1 << 1 << 50 << "  OK    5.0";
    QTest::newRow("wrong") << 0 << 1 << 0 << 73 << "  NG";
    QTest::newRow("more than given") << 0 << 1 << -1 << 101 << "  OK    -0.1";
    QTest::newRow("negative tenths") << 0 << 1 << -1 << -900 << "  OK    100.0";
    QTest::newRow("least tenths") << 0 << 1 << -1 << std::numeric_limits<int>::min()
                                  << "  OK    214748374.8";
    QTest::newRow("most tenths") << 0 << 1 << -1 << std::numeric_limits<int>::max()
                                 << "  OK    -214748354.7";
    QTest::newRow("first of 早打ち") << 0 << 0 << -1 << 73 << "  OK    2.7";
    QTest::newRow("first of 読み当て") << 1 << 0 << 0 << 0 << "  NG";
    QTest::newRow("first of 駅当て, right") << 2 << 0 << -1 << 73 << "";
    QTest::newRow("first of 駅当て, wrong") << 2 << 0 << 0 << 0 << "";
    QTest::newRow("second of 駅当て") << 2 << 1 << -1 << 73 << "  OK    2.7";
}

void TestResults::verdicts()
{
    QFETCH(int, mode);
    QFETCH(int, index);
    QFETCH(int, isOK);
    QFETCH(int, remainTenths);
    QFETCH(QString, verdict);
    loadStations({"品川", "大崎"}, {"NG", "NG"});
    StationTable[index].IsOK = std::int16_t(isOK);
    StationTable[index].RemainTenths = remainTenths;
    gGameMode = mode;
    const QStringList lines = reportLines(BuildScoreReport());
    const QString name = StationTable[index].StationName;
    QCOMPARE(lines[6 + index], QStringLiteral("00%1:  %2").arg(index).arg(name) + verdict);
}

void TestResults::summary_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<float>("rate");
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<QString>("expected");
    const QString sep = QStringLiteral("     平均秒数:  ");
    QTest::newRow("none right") << 0 << 0.0f << QStringList {"NG", "NG"} << "0.0%" + sep + "0.00";
    QTest::newRow("all right") << 0 << 1.0f << QStringList {"OK:100", "OK:73"}
                               << "100.0%" + sep + "1.35";
    QStringList eight;
    for (int i = 0; i < 10; ++i)
        eight << (i < 8 ? QStringLiteral("OK:90") : QStringLiteral("NG"));
    QTest::newRow("8 of 10") << 0 << 0.8f << eight << "80.0%" + sep + "1.00";
    // The average of single-precision tenths: 0.1f / 4 and 0.3f / 4 lie above their halves.
    QTest::newRow("quarter of a tenth")
        << 0 << 1.0f << QStringList {"OK:99", "OK:100", "OK:100", "OK:100"}
        << "100.0%" + sep + "0.03";
    QTest::newRow("three quarters of a tenth")
        << 0 << 1.0f << QStringList {"OK:97", "OK:100", "OK:100", "OK:100"}
        << "100.0%" + sep + "0.08";
    QTest::newRow("exact half") << 0 << 1.0f << QStringList {"OK:95", "OK:100", "OK:100", "OK:100"}
                                << "100.0%" + sep + "0.13";
    QTest::newRow("third") << 1 << 0.33333334f << QStringList {"OK:90", "NG", "NG"}
                           << "33.3%" + sep + "1.00";
    QTest::newRow("small rate rounds up")
        << 0 << 0.0005f << QStringList {"NG"} << "0.1%" + sep + "0.00";
    QTest::newRow("駅当て leaves out the first")
        << 2 << 1.0f << QStringList {"OK:0", "OK:90"} << "100.0%" + sep + "1.00";
    QTest::newRow("negative average")
        << 0 << 1.0f << QStringList {"OK:150"} << "100.0%" + sep + "-5.00";
    QTest::newRow("nan rate") << 0 << std::numeric_limits<float>::quiet_NaN()
                              << QStringList {"OK:90"} << "0.0%" + sep + "1.00";
    QTest::newRow("infinite rate") << 0 << std::numeric_limits<float>::infinity()
                                   << QStringList {"NG"} << "0.0%" + sep + "0.00";
    QTest::newRow("minus infinite rate") << 0 << -std::numeric_limits<float>::infinity()
                                         << QStringList {"NG"} << "0.0%" + sep + "0.00";
    QTest::newRow("negative rate") << 0 << -0.25f << QStringList {"NG"} << "-25.0%" + sep + "0.00";
    QTest::newRow("no stations") << 0 << 0.0f << QStringList {} << "0.0%" + sep + "0.00";
}

void TestResults::summary()
{
    QFETCH(int, mode);
    QFETCH(float, rate);
    QFETCH(QStringList, results);
    QFETCH(QString, expected);
    QStringList names;
    for (int i = 0; i < results.size(); ++i)
        names << QStringLiteral("駅%1").arg(i);
    loadStations(names, results);
    gGameMode = mode;
    gCorrectRate = rate;
    QCOMPARE(summaryLine(BuildScoreReport()), QStringLiteral("正解率 :  ") + expected);
}

void TestResults::score_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("expected");
    QTest::newRow("negative") << -6 << "得点: -6";
    QTest::newRow("zero") << 0 << "得点: 0";
    QTest::newRow("positive") << 380 << "得点: 380";
    QTest::newRow("least") << std::numeric_limits<int>::min() << "得点: -2147483648";
}

void TestResults::score()
{
    QFETCH(int, score);
    QFETCH(QString, expected);
    loadStations({"東京"}, {"NG"});
    gScore = score;
    QCOMPARE(reportLines(BuildScoreReport()).last(), expected);
}

void TestResults::lineBreaks_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::newRow("no stations") << QStringList {};
    QTest::newRow("small line") << kSmallLine;
}

void TestResults::lineBreaks()
{
    QFETCH(QStringList, names);
    loadStations(names);
    const QString report = BuildScoreReport();
    QVERIFY(!report.endsWith(u'\n') && !report.endsWith(u'\r'));
    QCOMPARE(report.count(kCrLf), 8 + names.size());
    // No break other than CR LF.
    QCOMPARE(report.count(u'\n'), report.count(kCrLf));
    QCOMPARE(report.count(u'\r'), report.count(kCrLf));
}

void TestResults::thousandAndOneStations()
{
    QStringList names, results;
    for (int i = 0; i < kStationTableSize; ++i) {
        names << QStringLiteral("駅");
        results << (i % 2 ? QStringLiteral("NG") : QStringLiteral("OK:90"));
    }
    loadStations(names, results);
    const QStringList lines = reportLines(BuildScoreReport());
    QCOMPARE(lines.size(), 9 + kStationTableSize);
    QCOMPARE(lines[6], QStringLiteral("000:  駅  OK    1.0"));
    QCOMPARE(lines[6 + 99], QStringLiteral("099:  駅  NG"));
    QCOMPARE(lines[6 + 999], QStringLiteral("999:  駅  NG"));
    QCOMPARE(lines[6 + 1000], QStringLiteral("1000:  駅  OK    1.0"));
    QCOMPARE(lines[7 + 1000], rule(20));
}

void TestResults::stationCountOutOfRange_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("rows");
    QTest::newRow("negative") << -3 << 0;
    QTest::newRow("past the table") << 5000 << kStationTableSize;
}

void TestResults::stationCountOutOfRange()
{
    QFETCH(int, count);
    QFETCH(int, rows);
    for (int i = 0; i < kStationTableSize; ++i)
        StationTable[i].StationName = QStringLiteral("駅");
    gStationCount = count;
    QCOMPARE(reportLines(BuildScoreReport()).size(), 9 + rows);
    QCOMPARE(GetMaxLenB(), rows > 0 ? 2 : 0);
}

void TestResults::maxLenB_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expected");
    QTest::newRow("none") << QStringList {} << 0 << 0;
    QTest::newRow("empty names") << QStringList {"", ""} << 2 << 0;
    QTest::newRow("full-width") << QStringList {"東京", "西日暮里", "上野"} << 3 << 8;
    QTest::newRow("half-width is one column") << QStringList {"北34条", "ｱｲ", "東"} << 3 << 6;
    QTest::newRow("surrogate pair is one character") << QStringList {"𠮷野"} << 1 << 4;
    QTest::newRow("only loaded stations") << QStringList {"東京", "高輪ゲートウェイ"} << 1 << 4;
}

void TestResults::maxLenB()
{
    QFETCH(QStringList, names);
    QFETCH(int, count);
    QFETCH(int, expected);
    loadStations(names);
    gStationCount = count;
    QCOMPARE(GetMaxLenB(), expected);
}

void TestResults::stoppedGameShowsTheGlobals()
{
    // A game stopped half-way: the table holds this game's verdicts, the rate is the one of the
    // last completed game.
    loadStations({"東京", "神田", "秋葉原", "御徒町"}, {"OK:80", "OK:60", "NG", "NG"});
    gCorrectRate = 1.0f;
    gScore = 40;
    const QStringList lines = reportLines(BuildScoreReport());
    QCOMPARE(lines[8], QStringLiteral("002:  秋葉原  NG"));
    QCOMPARE(lines[9], QStringLiteral("003:  御徒町  NG"));
    QCOMPARE(lines[11], QStringLiteral("正解率 :  100.0%     平均秒数:  3.00"));
    QCOMPARE(lines[12], QStringLiteral("得点: 40"));
    frmScoreList w;
    QVERIFY(w.imgSignal[0]->isHidden());
    QVERIFY(w.imgSignal[1]->isHidden());
    QVERIFY(!w.imgSignal[2]->isHidden());
}

// --- The window ------------------------------------------------------------------------------

void TestResults::signalPictures_data()
{
    QTest::addColumn<int>("grade");
    QTest::addColumn<QList<QRgb>>("lamps"); // top, middle, bottom
    const QRgb unlit = qRgb(192, 192, 192);
    QTest::newRow("red") << 0 << QList<QRgb> {unlit, unlit, qRgb(255, 0, 0)};
    QTest::newRow("yellow") << 1 << QList<QRgb> {unlit, qRgb(255, 255, 0), unlit};
    QTest::newRow("green") << 2 << QList<QRgb> {qRgb(0, 128, 128), unlit, unlit};
}

void TestResults::signalPictures()
{
    QFETCH(int, grade);
    QFETCH(QList<QRgb>, lamps);
    const QImage image = SignalImage(grade);
    QCOMPARE(image.size(), QSize(16, 16));
    const int lampTop[3] = {1, 6, 11};
    for (int lamp = 0; lamp < 3; ++lamp) {
        // Each lamp is round: the middle of its 4 x 4 square is lit, its corners are the head.
        for (const QPoint p : {QPoint(7, 1), QPoint(6, 2), QPoint(9, 3), QPoint(8, 4)})
            QCOMPARE(image.pixel(p + QPoint(0, lampTop[lamp] - 1)), lamps[lamp]);
        QCOMPARE(image.pixel(6, lampTop[lamp]), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(9, lampTop[lamp] + 3), qRgb(0, 0, 0));
    }
    // Black head between the lamps, light grey ground round it.
    QCOMPARE(image.pixel(7, 5), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(3, 8), qRgb(0, 0, 0));
    for (const QPoint p : {QPoint(0, 0), QPoint(15, 15), QPoint(1, 8), QPoint(14, 8)}) {
        const QColor ground = image.pixelColor(p);
        QCOMPARE(ground.red(), ground.green());
        QCOMPARE(ground.green(), ground.blue());
        QVERIFY(ground.red() > 192);
    }
}

void TestResults::signalShownForGrade_data()
{
    QTest::addColumn<float>("rate");
    QTest::addColumn<int>("shown");
    QTest::newRow("nothing right") << 0.0f << 0;
    QTest::newRow("below 0.8") << 0.79f << 0;
    QTest::newRow("8 of 10") << 0.8f << 1;
    QTest::newRow("most") << 0.95f << 1;
    QTest::newRow("all") << 1.0f << 2;
}

void TestResults::signalShownForGrade()
{
    QFETCH(float, rate);
    QFETCH(int, shown);
    loadStations(kSmallLine, kSmallResults);
    gCorrectRate = rate;
    frmScoreList w;
    w.show();
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(w.imgSignal[i]->objectName(), QStringLiteral("imgSignal_%1").arg(i));
        QCOMPARE(w.imgSignal[i]->isVisible(), i == shown);
    }
}

void TestResults::signalsStayCrisp()
{
    frmScoreList w;
    for (int grade = 0; grade < 3; ++grade) {
        QLabel* label = w.imgSignal[grade];
        QCOMPARE(label->geometry(), twips::rect(4080, 100, 500, 500));
        const QImage shown = label->pixmap().toImage();
        QCOMPARE(shown.size(), label->size() * label->devicePixelRatioF());
        // Nearest-neighbour stretching adds no colour the picture does not have.
        const QImage picture = SignalImage(grade);
        QSet<QRgb> colours;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                colours.insert(picture.pixel(x, y));
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                QVERIFY2(colours.contains(shown.pixel(x, y)),
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        // The lit lamp is still there.
        QCOMPARE(shown.pixel(shown.width() / 2 - 1, shown.height() * (13 - 5 * grade) / 16),
                 picture.pixel(7, 13 - 5 * grade));
    }
}

void TestResults::windowFrameAndText()
{
    loadStations(kSmallLine, kSmallResults);
    gLineName = QStringLiteral("山手線");
    frmScoreList w;
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("スコア詳細"));
    QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.maximumSize().width() > w.width()); // the user may make it bigger
    QCOMPARE(w.Text1->objectName(), QStringLiteral("Text1"));
    QCOMPARE(w.Command1->objectName(), QStringLiteral("Command1"));
    QCOMPARE(w.Command1->text(), QStringLiteral("&Ok"));
    QVERIFY(w.Command1->isDefault());
    QVERIFY(w.Text1->isReadOnly());
    QCOMPARE(w.Text1->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(w.Text1->toPlainText(), BuildScoreReport().replace(kCrLf, QStringLiteral("\n")));
    QVERIFY(w.Text1->toPlainText().contains(QStringLiteral("004:  上野      NG")));
    const QFontInfo font(w.Text1->font());
    QCOMPARE(font.family(), QStringLiteral("IPAGothic"));
    QCOMPARE(w.Text1->font().pointSize(), 9);
}

void TestResults::designLayout()
{
    frmScoreList w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), twips::size(4710, 2625));
    QCOMPARE(w.pos(), QPoint(twips::toPx(3030), twips::toPx(2625)));
    // The button sits 120 twips in from the lower right, the text box fills up to 120 before it.
    QCOMPARE(w.Command1->geometry(), twips::rect(4095, 2130, 495, 375));
    QCOMPARE(w.Text1->geometry(), twips::rect(120, 120, 3855, 2385));
}

void TestResults::opensTallEnoughForTheReport_data()
{
    QTest::addColumn<int>("stations");
    QTest::addColumn<bool>("grows");
    QTest::newRow("2 stations: the design size") << 2 << false;
    QTest::newRow("30 stations: taller") << 30 << true;
    QTest::newRow("1000 stations: at most 80 % of the screen") << 1000 << true;
}

void TestResults::opensTallEnoughForTheReport()
{
    QFETCH(int, stations);
    QFETCH(bool, grows);
    QStringList names;
    QStringList results;
    for (int i = 0; i < stations; ++i) {
        names << QStringLiteral("駅%1").arg(i);
        results << (i % 2 ? QStringLiteral("NG") : QStringLiteral("OK:50"));
    }
    loadStations(names, results);
    gLineName = QStringLiteral("山手線");
    frmScoreList w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.width(), twips::toPx(4710));
    QCOMPARE(w.height() > twips::toPx(2625), grows);
    const QRect available = w.screen()->availableGeometry();
    QVERIFY(available.contains(w.frameGeometry()));
    // The layout rules hold at the opening size.
    QCOMPARE(w.Command1->geometry().bottom(), w.height() - 1 - twips::toPx(120));
    QCOMPARE(w.Text1->geometry().bottom(), w.height() - 1 - twips::toPx(120));
    // Either the last line shows without scrolling, or the window is as tall as it opens.
    const QScrollBar* bar = w.Text1->verticalScrollBar();
    if (bar->maximum() > 0)
        QVERIFY2(std::abs(w.frameGeometry().height() - available.height() * 8 / 10) <= 1,
                 qPrintable(QString::number(w.frameGeometry().height())));
    else
        QVERIFY(stations < 1000);
}

void TestResults::minimumSizeHolds_data()
{
    QTest::addColumn<QSize>("asked");
    QTest::addColumn<bool>("narrowest");
    QTest::addColumn<bool>("lowest");
    QTest::newRow("both too small") << QSize(50, 40) << true << true;
    QTest::newRow("too narrow") << QSize(100, 300) << true << false;
    QTest::newRow("too low") << QSize(400, 20) << false << true;
    QTest::newRow("just above") << twips::size(4500, 2000) << false << false;
}

void TestResults::minimumSizeHolds()
{
    QFETCH(QSize, asked);
    QFETCH(bool, narrowest);
    QFETCH(bool, lowest);
    frmScoreList w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // The limits are on the outer size; whatever frame the platform adds comes off the inside.
    const QSize frame = w.frameGeometry().size() - w.size();
    const QSize least = twips::size(4500, 2000);
    w.resize(asked);
    QTRY_COMPARE(w.width(), narrowest ? least.width() - frame.width() : asked.width());
    QCOMPARE(w.height(), lowest ? least.height() - frame.height() : asked.height());
    QVERIFY(w.frameGeometry().width() >= least.width());
    QVERIFY(w.frameGeometry().height() >= least.height());
    // The controls follow the clamped size.
    QCOMPARE(w.Command1->geometry().right(), w.width() - 1 - twips::toPx(120));
    QCOMPARE(w.Command1->geometry().bottom(), w.height() - 1 - twips::toPx(120));
}

void TestResults::layoutFollowsSize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("bigger") << QSize(640, 480);
    QTest::newRow("wide and low") << QSize(900, 140);
    QTest::newRow("the least") << twips::size(4500, 2000);
}

void TestResults::layoutFollowsSize()
{
    QFETCH(QSize, size);
    frmScoreList w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(size);
    QTRY_COMPARE(w.size(), size);
    const int m = twips::toPx(120);
    const QRect button = w.Command1->geometry();
    QCOMPARE(button.size(), twips::size(495, 375));
    QCOMPARE(button.right(), size.width() - 1 - m);
    QCOMPARE(button.bottom(), size.height() - 1 - m);
    QCOMPARE(w.Text1->geometry(), QRect(m, m, button.left() - 2 * m, size.height() - 2 * m));
    // The signal keeps its distance from the right edge (4080 of 4710 at the design width).
    for (QLabel* signal : w.imgSignal)
        QCOMPARE(signal->geometry(), twips::rect(twips::fromPx(size.width()) - 630, 100, 500, 500));
}

void TestResults::okCloses()
{
    frmScoreList w;
    QTimer::singleShot(0, &w, [&w] { QTest::mouseClick(w.Command1, Qt::LeftButton); });
    QCOMPARE(w.exec(), int(QDialog::Accepted));
    QVERIFY(!w.isVisible());
}

void TestResults::enterCloses()
{
    loadStations(kSmallLine, kSmallResults);
    frmScoreList w;
    QTimer::singleShot(0, &w, [&w] {
        w.Text1->setFocus();
        QTest::keyClick(w.Text1, Qt::Key_Return);
    });
    QTimer::singleShot(2000, &w, &QDialog::reject); // keeps a failure from hanging the test
    QCOMPARE(w.exec(), int(QDialog::Accepted));
}

void TestResults::reopeningRebuildsAndChangesNoGlobal()
{
    loadStations(kSmallLine, kSmallResults);
    gLineFilePath = QStringLiteral("line/yamanote.txt");
    gLineName = QStringLiteral("山手線");
    gGameMode = 1;
    gCorrectRate = 0.5f;
    gScore = 7;
    frmScoreList w;
    w.show();
    QVERIFY(w.Text1->toPlainText().endsWith(QStringLiteral("得点: 7")));
    QVERIFY(w.imgSignal[0]->isVisible());
    w.Command1->click();
    QVERIFY(!w.isVisible());

    // The next game ends; the same window opens again.
    gScore = -6;
    gCorrectRate = 1.0f;
    w.show();
    QVERIFY(w.Text1->toPlainText().endsWith(QStringLiteral("得点: -6")));
    QVERIFY(w.imgSignal[2]->isVisible());
    QVERIFY(!w.imgSignal[0]->isVisible());

    QCOMPARE(gLineFilePath, QStringLiteral("line/yamanote.txt"));
    QCOMPARE(gLineName, QStringLiteral("山手線"));
    QCOMPARE(gGameMode, 1);
    QCOMPARE(gCorrectRate, 1.0f);
    QCOMPARE(gScore, -6);
    QCOMPARE(gStationCount, 5);
    for (int i = 0; i < kSmallLine.size(); ++i) {
        QCOMPARE(StationTable[i].StationName, kSmallLine[i]);
        QCOMPARE(StationTable[i].IsOK, kSmallResults[i] == "NG" ? 0 : -1);
    }
    QCOMPARE(StationTable[0].RemainTenths, 73);
}

QTEST_MAIN(TestResults)
#include "test_results.moc"
