// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehost.h"
#include "gamestate.h"
#include "stationtable.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Station
{
    QString name, reading, extra;
    bool operator==(const Station&) const = default;
};

QList<Station> loadedStations()
{
    QList<Station> out;
    for (int i = 0; i < gStationCount; ++i)
        out.append({StationTable[i].StationName, StationTable[i].Reading, StationTable[i].Extra});
    return out;
}

} // namespace

Q_DECLARE_METATYPE(QList<Station>)

class TestCore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void lineFile_data();
    void lineFile();
    void fullTableLoadsWhole();
    void tooManyStationsRefused();
    void shorterFileAfterLonger();
    void encodingsAndLineEnds_data();
    void encodingsAndLineEnds();
    void invalidBytesBecomeReplacement();
    void unreadableFiles_data();
    void unreadableFiles();
    void caseInsensitivePath();
    void clearScoreAndNamesTouchDisjointFields();
    void modeNames_data();
    void modeNames();
    void rateGrade_data();
    void rateGrade();
    void okCount();

private:
    QTemporaryDir dir_;
};

void TestCore::init()
{
    ResetStationTable();
    ResetGameState();
}

void TestCore::lineFile_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("lineName");
    QTest::addColumn<QList<Station>>("stations");

    QTest::newRow("marker on line 2")
        << QStringList {"山手線 ; JR", "###", "東京,とうきょう", "神田,かんだ", "秋葉原,あきはばら"}
        << "山手線"
        << QList<Station> {
               {"東京", "とうきょう", ""}, {"神田", "かんだ", ""}, {"秋葉原", "あきはばら", ""}};
    QTest::newRow("free text never stations")
        << QStringList {"線", "説明,with,commas;and", "; note", "###", "a,b"} << "線"
        << QList<Station> {{"a", "b", ""}};
    QTest::newRow("fourth field dropped")
        << QStringList {"L", "###", "a,b,c,d"} << "L" << QList<Station> {{"a", "b", "c"}};
    QTest::newRow("missing fields empty") << QStringList {"L", "###", "a,b", "a"} << "L"
                                          << QList<Station> {{"a", "b", ""}, {"a", "", ""}};
    QTest::newRow("blanks of either width trimmed from fields")
        << QStringList {"\u3000L ", "###", " a , b ;note", "駅\u3000,えき\u3000 ,x y"} << "L"
        << QList<Station> {{"a", "b", ""}, {"駅", "えき", "x y"}};
    QTest::newRow("comment cuts fields")
        << QStringList {"L", "###", "a,b;c,d"} << "L" << QList<Station> {{"a", "b", ""}};
    QTest::newRow("empty and comment-only lines are stations")
        << QStringList {"L", "###", "a,b", "", ";only", "c,d"} << "L"
        << QList<Station> {{"a", "b", ""}, {"", "", ""}, {"", "", ""}, {"c", "d", ""}};
    QTest::newRow("two breaks at the end") << QStringList {"L", "###", "a,b", "", ""} << "L"
                                           << QList<Station> {{"a", "b", ""}, {"", "", ""}};
    // A line without stations is refused: an empty list means a refusal.
    QTest::newRow("no marker") << QStringList {"L", "a,b", "c,d"} << "" << QList<Station> {};
    QTest::newRow("### as line 1 is the name")
        << QStringList {"###", "###", "a,b"} << "###" << QList<Station> {{"a", "b", ""}};
    QTest::newRow("marker with blank is not one")
        << QStringList {"L", "### ", "x,y", "###", "a,b"} << "L" << QList<Station> {{"a", "b", ""}};
    QTest::newRow("marker with comment is not one")
        << QStringList {"L", "###;c", "###"} << "" << QList<Station> {};
    QTest::newRow("only the name") << QStringList {"L"} << "" << QList<Station> {};
    QTest::newRow("half-width katakana")
        << QStringList {"ﾃｽﾄ", "###", "駅,ｴｷ"} << "ﾃｽﾄ" << QList<Station> {{"駅", "ｴｷ", ""}};
}

void TestCore::lineFile()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, lineName);
    QFETCH(QList<Station>, stations);
    FakeHost host;
    const QString path = writeLineFile(dir_, "line.txt", lines);
    QCOMPARE(LoadLineFile(path), !stations.isEmpty());
    QCOMPARE(gLineName, lineName);
    QCOMPARE(gStationCount, stations.size());
    QVERIFY(loadedStations() == stations);
    // A refusal says why and names the file.
    QCOMPARE(host.messages.size(), size_t(stations.isEmpty() ? 1 : 0));
    if (stations.isEmpty())
        QVERIFY(host.messages[0].text.contains(QLatin1String("###"))
                && host.messages[0].text.endsWith(path));
}

void TestCore::fullTableLoadsWhole()
{
    FakeHost host;
    QStringList lines {"長い線", "###"};
    for (int i = 0; i < kStationTableSize; ++i)
        lines << QStringLiteral("駅%1,えき").arg(i);
    QVERIFY(LoadLineFile(writeLineFile(dir_, "full.txt", lines)));
    QCOMPARE(gStationCount, kStationTableSize);
    QCOMPARE(StationTable[1000].StationName, QStringLiteral("駅1000"));
    QVERIFY(host.messages.empty());
}

void TestCore::tooManyStationsRefused()
{
    FakeHost host;
    QStringList lines {"長すぎる線", "###"};
    for (int i = 0; i < kStationTableSize + 1; ++i)
        lines << QStringLiteral("駅%1,えき").arg(i);
    const QString path = writeLineFile(dir_, "toolong.txt", lines);
    QVERIFY(!LoadLineFile(path));
    QCOMPARE(gStationCount, 0);
    QVERIFY(StationTable[0].StationName.isEmpty());
    QVERIFY(StationTable[1000].StationName.isEmpty());
    QCOMPARE(host.messages.size(), size_t(1));
    QVERIFY(host.messages[0].text.contains(QStringLiteral("1001")));
    QVERIFY(host.messages[0].text.contains(path));
    QCOMPARE(host.messages[0].icon, platform::Icon::Exclamation);
}

void TestCore::shorterFileAfterLonger()
{
    FakeHost host;
    QVERIFY(LoadLineFile(writeLineFile(dir_, "a.txt", {"A", "###", "a,1,x", "b,2,y", "c,3,z"})));
    QVERIFY(LoadLineFile(writeLineFile(dir_, "b.txt", {"B", "###", "d,4"})));
    QCOMPARE(gStationCount, 1);
    QCOMPARE(gLineName, QStringLiteral("B"));
    for (int i = 1; i < 3; ++i) {
        QVERIFY(StationTable[i].StationName.isEmpty());
        QVERIFY(StationTable[i].Reading.isEmpty());
        QVERIFY(StationTable[i].Extra.isEmpty());
    }
}

void TestCore::encodingsAndLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("lastReading");
    const QByteArray utf8 = QByteArray("銀座線\n###\n渋谷,しぶや\n表参道,おもてさんどう");
    QTest::newRow("UTF-8 with BOM, CR LF")
        << QByteArray("\xEF\xBB\xBF銀座線\r\n###\r\n渋谷,しぶや\r\n") << QStringList {"渋谷"}
        << "しぶや";
    QTest::newRow("UTF-8 from a Linux editor, LF")
        << utf8 << QStringList {"渋谷", "表参道"} << "おもてさんどう";
    QTest::newRow("final Ctrl-Z dropped")
        << utf8 + "\x1A" << QStringList {"渋谷", "表参道"} << "おもてさんどう";
    QTest::newRow("code page 932, LF")
        << toCp932("銀座線\n###\n渋谷,しぶや\n") << QStringList {"渋谷"} << "しぶや";
    // Any CR keeps the classic rules: a lone LF is text.
    QTest::newRow("code page 932, CR LF with a lone LF")
        << toCp932("銀座線\r\n###\r\n渋谷,しぶ\nや\r\n") << QStringList {"渋谷"} << "しぶ\nや";
    QTest::newRow("invalid UTF-8 is code page 932")
        << QByteArray("L\n###\n\x82\xA0,\x82\xA2") << QStringList {"あ"} << "い";
    // An overlong form is no UTF-8: these bytes are the half-width katakana ﾀｯ.
    QTest::newRow("overlong UTF-8 is code page 932")
        << QByteArray("L\n###\n\xC0\xAF,x") << QStringList {"ﾀｯ"} << "x";
}

void TestCore::encodingsAndLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, names);
    QFETCH(QString, lastReading);
    FakeHost host;
    QVERIFY(LoadLineFile(writeFile(dir_, "enc.txt", bytes)));
    QStringList loaded;
    for (const Station& s : loadedStations())
        loaded << s.name;
    QCOMPARE(loaded, names);
    QCOMPARE(StationTable[gStationCount - 1].Reading, lastReading);
    QVERIFY(gLineName == QStringLiteral("銀座線") || gLineName == QStringLiteral("L"));
}

void TestCore::invalidBytesBecomeReplacement()
{
    FakeHost host;
    const QString path = writeFile(
        dir_, "bad.txt", toCp932("線\r\n###\r\n") + QByteArray("\x80\xa0,") + toCp932("えき"));
    QVERIFY(LoadLineFile(path));
    QCOMPARE(gStationCount, 1);
    QCOMPARE(StationTable[0].StationName, QStringLiteral("\uFFFD\uFFFD"));
    QCOMPARE(StationTable[0].Reading, QStringLiteral("えき"));
}

void TestCore::unreadableFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty file") << "empty"
                                << "路線ファイルが空です。";
    QTest::newRow("folder") << "folder"
                            << "路線ファイルではなくフォルダです。";
    QTest::newRow("missing") << "missing"
                             << "路線ファイルが見つかりません。";
    // A file that opens but cannot be read, even by root.
    QTest::newRow("read error") << "unreadable"
                                << "路線ファイルを読み込めません。";
}

void TestCore::unreadableFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    FakeHost host;
    // Something loaded before must not survive a failed load.
    QVERIFY(LoadLineFile(writeLineFile(dir_, "ok.txt", {"L", "###", "a,b"})));
    QString path;
    if (kind == "empty")
        path = writeFile(dir_, "empty.txt", {});
    else if (kind == "folder")
        QVERIFY(QDir().mkpath(path = dir_.filePath("folder.txt")));
    else if (kind == "missing")
        path = dir_.filePath("gone.txt");
    else
        path = QStringLiteral("/proc/self/mem");
    QVERIFY(!LoadLineFile(path));
    QCOMPARE(gStationCount, 0);
    QVERIFY(StationTable[0].StationName.isEmpty());
    QCOMPARE(host.messages.size(), size_t(1));
    QVERIFY2(host.messages[0].text.startsWith(message), qPrintable(host.messages[0].text));
    QVERIFY(host.messages[0].text.contains(path));
}

void TestCore::caseInsensitivePath()
{
    FakeHost host;
    QDir().mkpath(dir_.filePath("line"));
    writeLineFile(dir_, "line/ginza.txt", {"銀座線", "###", "渋谷,しぶや"});
    QVERIFY(LoadLineFile(dir_.filePath("LINE/GINZA.TXT")));
    QCOMPARE(gStationCount, 1);
}

void TestCore::clearScoreAndNamesTouchDisjointFields()
{
    StationTable[5] = {"a", "b", "c", -1, 42};
    gStationCount = 6;
    ClearScore();
    QCOMPARE(StationTable[5].StationName, QStringLiteral("a"));
    QCOMPARE(StationTable[5].IsOK, std::int16_t(0));
    QCOMPARE(StationTable[5].RemainTenths, 0);
    QCOMPARE(gStationCount, 6);
    StationTable[5].IsOK = -1;
    StationTable[5].RemainTenths = 7;
    ClearStationName();
    QVERIFY(StationTable[5].StationName.isEmpty());
    QVERIFY(StationTable[5].Extra.isEmpty());
    QCOMPARE(StationTable[5].IsOK, std::int16_t(-1));
    QCOMPARE(StationTable[5].RemainTenths, 7);
    QCOMPARE(gStationCount, 0);
}

void TestCore::modeNames_data()
{
    QTest::addColumn<qint64>("mode");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << qint64(0) << "早打ちモード";
    QTest::newRow("1") << qint64(1) << "読み当てモード";
    QTest::newRow("2") << qint64(2) << "駅当てモード";
    QTest::newRow("-1") << qint64(-1) << "モード";
    QTest::newRow("3") << qint64(3) << "モード";
}

void TestCore::modeNames()
{
    QFETCH(qint64, mode);
    QFETCH(QString, name);
    QCOMPARE(GetModeName(mode), name);
}

void TestCore::rateGrade_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("grade");
    QTest::newRow("10/10") << 10 << 10 << 2;
    QTest::newRow("8/10") << 8 << 10 << 1;
    QTest::newRow("7/10") << 7 << 10 << 0;
    QTest::newRow("4/5") << 4 << 5 << 1;
    QTest::newRow("0/5") << 0 << 5 << 0;
    QTest::newRow("800/1000") << 800 << 1000 << 1;
    QTest::newRow("799/1000") << 799 << 1000 << 0;
    QTest::newRow("1000/1001") << 1000 << 1001 << 1;
}

void TestCore::rateGrade()
{
    QFETCH(int, right);
    QFETCH(int, asked);
    QFETCH(int, grade);
    // The rate is computed in double and stored in single precision, as the game does.
    const float rate = float(double(right) / double(asked));
    QCOMPARE(GetRateGrade(rate), grade);
    // The rule in integers: 2 when all right, 0 when 5 * right < 4 * asked, else 1.
    QCOMPARE(grade, right == asked ? 2 : (5 * right < 4 * asked ? 0 : 1));
    QCOMPARE(GetRateGrade(0.95f), 1);
    QCOMPARE(GetRateGrade(0.79f), 0);
    QCOMPARE(GetRateGrade(0.8f), 1);
}

void TestCore::okCount()
{
    gStationCount = 4;
    for (int i = 0; i < 4; ++i)
        StationTable[i].IsOK = -1;
    StationTable[2].IsOK = 0;
    StationTable[4].IsOK = -1; // past the loaded stations: never counted
    gGameMode = 0;
    QCOMPARE(GetOKcount(), 3);
    gGameMode = 2;
    QCOMPARE(GetOKcount(), 2); // entry 0 is never asked in this mode
    gStationCount = 0;
    QCOMPARE(GetOKcount(), 0);
}

QTEST_GUILESS_MAIN(TestCore)
#include "test_core.moc"
