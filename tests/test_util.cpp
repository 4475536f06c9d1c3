// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehost.h"
#include "lib_util.h"
#include "linefile.h"
#include "testfiles.h"
#include "textfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestUtil : public QObject
{
    Q_OBJECT
private slots:
    void startsWith_data();
    void startsWith();
    void buildFilePath_data();
    void buildFilePath();
    void stripComment_data();
    void stripComment();
    void padRightBytes_data();
    void padRightBytes();
    void fileNames_data();
    void fileNames();
    void findFirstDelimiter_data();
    void findFirstDelimiter();
    void tokens_data();
    void tokens();
    void counters();
    void splitCsvLine_data();
    void splitCsvLine();
    void fileExists();
    void textFileLines_data();
    void textFileLines();
    void decodeCp932_data();
    void decodeCp932();
    void seekMarkerLine();
    void parseLineFile_data();
    void parseLineFile();
    void waitTicksVirtual_data();
    void waitTicksVirtual();
    void waitTicksRealDeliversEvents();
};

void TestUtil::startsWith_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("expected");
    QTest::newRow("case-insensitive") << "/gamemode=2"
                                      << "/GAMEMODE=" << 1 << true;
    QTest::newRow("exact mode differs") << "/gamemode=2"
                                        << "/GAMEMODE=" << 0 << false;
    QTest::newRow("exact mode same") << "/GM=1"
                                     << "/GM=" << 0 << true;
    QTest::newRow("text shorter") << "/GM"
                                  << "/GM=" << 1 << false;
    QTest::newRow("empty prefix") << "abc"
                                  << "" << 1 << true;
    QTest::newRow("empty both") << ""
                                << "" << 0 << true;
    QTest::newRow("mismatch") << "/SO=1"
                              << "/SO=0" << 1 << false;
}

void TestUtil::startsWith()
{
    QFETCH(QString, text);
    QFETCH(QString, prefix);
    QFETCH(int, mode);
    QFETCH(bool, expected);
    QCOMPARE(StartsWith(text, prefix, mode), expected);
}

void TestUtil::buildFilePath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "/opt/t"
                           << "sound"
                           << "/opt/t/sound";
    QTest::newRow("name with slash") << "/opt/t"
                                     << "/line"
                                     << "/opt/t/line";
    QTest::newRow("folder with slash") << "/opt/t/"
                                       << "help/index.htm"
                                       << "/opt/t/help/index.htm";
    QTest::newRow("root") << "/"
                          << "line"
                          << "/line";
    QTest::newRow("empty folder") << ""
                                  << "a.txt"
                                  << "a.txt";
}

void TestUtil::buildFilePath()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(BuildFilePath(folder, name), expected);
}

void TestUtil::stripComment_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("name and remark") << "  東京 ;始発駅"
                                     << "東京";
    QTest::newRow("leading semicolon") << ";remark"
                                       << "";
    QTest::newRow("no semicolon") << "  a,b  "
                                  << "a,b";
    QTest::newRow("leading tab stays") << "\tabc "
                                       << "\tabc";
    QTest::newRow("blanks by comma kept") << " a , b ;note"
                                          << "a , b";
    QTest::newRow("ideographic space stays") << "\u3000東京\u3000"
                                             << "\u3000東京\u3000";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("only blanks") << "    "
                                 << "";
}

void TestUtil::stripComment()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(StripComment(line), expected);
}

void TestUtil::padRightBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two characters to 10") << "ab" << 10 << "ab      ";
    QTest::newRow("three kanji to 10") << "東京駅" << 10 << "東京駅    ";
    QTest::newRow("exact width") << "新宿" << 4 << "新宿";
    QTest::newRow("width too small adds nothing") << "新宿駅" << 2 << "新宿駅";
    QTest::newRow("empty") << "" << 4 << "    ";
}

void TestUtil::padRightBytes()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, expected);
    QCOMPARE(PadRightBytes(text, width), expected);
}

void TestUtil::fileNames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("baseName");
    QTest::newRow("txt") << "/x/line/yamanote.txt"
                         << "yamanote.txt"
                         << "yamanote";
    QTest::newRow("two dots") << "/x/a.b.txt"
                              << "a.b.txt"
                              << "a.b";
    QTest::newRow("no folder") << "ginza.TXT"
                               << "ginza.TXT"
                               << "ginza";
    QTest::newRow("no extension") << "/x/README"
                                  << "README"
                                  << "README";
    QTest::newRow("trailing slash") << "/x/line/"
                                    << ""
                                    << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TestUtil::fileNames()
{
    QFETCH(QString, path);
    QFETCH(QString, fileName);
    QFETCH(QString, baseName);
    QCOMPARE(GetFileNameOf(path), fileName);
    QCOMPARE(GetBaseNameOf(path), baseName);
}

void TestUtil::findFirstDelimiter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiters");
    QTest::addColumn<QString>("expected");
    const QString set = QStringLiteral(" \t\"");
    QTest::newRow("tab before blank") << "a\tb c" << set << "\t";
    QTest::newRow("leftmost wins over list order") << "ab\"c d" << set << "\"";
    QTest::newRow("none") << "abc" << set << "";
    QTest::newRow("empty text") << "" << set << "";
    QTest::newRow("empty set") << "a b"
                               << ""
                               << "";
}

void TestUtil::findFirstDelimiter()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiters);
    QFETCH(QString, expected);
    QCOMPARE(FindFirstDelimiter(text, delimiters), expected);
}

void TestUtil::tokens_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::newRow("two options") << "/AP /SO=0"
                                 << " "
                                 << "/AP"
                                 << "/SO=0";
    QTest::newRow("no blank") << "/AP"
                              << " "
                              << "/AP"
                              << "";
    QTest::newRow("empty token") << "abc"
                                 << ""
                                 << ""
                                 << "bc";
    QTest::newRow("first occurrence") << "a b c"
                                      << " "
                                      << "a"
                                      << "b c";
}

void TestUtil::tokens()
{
    QFETCH(QString, text);
    QFETCH(QString, token);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QCOMPARE(LeftOfToken(text, token), left);
    QCOMPARE(RightOfToken(text, token), right);
}

void TestUtil::counters()
{
    std::int16_t small = 1000;
    IncrementValue(small);
    QCOMPARE(small, std::int16_t(1001));
    std::int32_t big = 0;
    DecrementValue(big);
    QCOMPARE(big, -1);
}

void TestUtil::splitCsvLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<int>("result");
    QTest::newRow("three") << "a,b,c" << QStringList {"a", "b", "c"} << 2;
    QTest::newRow("two") << "a,b" << QStringList {"a", "b", ""} << 1;
    QTest::newRow("four drops the fourth") << "a,b,c,d" << QStringList {"a", "b", "c"} << 2;
    QTest::newRow("adjacent commas") << "a,,c" << QStringList {"a", "", "c"} << 2;
    QTest::newRow("empty") << "" << QStringList {"", "", ""} << 0;
    QTest::newRow("trailing comma") << "a,b," << QStringList {"a", "b", ""} << 2;
    QTest::newRow("untrimmed, quotes plain")
        << " \"a\" , b" << QStringList {" \"a\" ", " b", ""} << 1;
}

void TestUtil::splitCsvLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QFETCH(int, result);
    QString out[3] = {"stale", "stale", "stale"};
    QCOMPARE(SplitCsvLine(line, out), result);
    QCOMPARE((QStringList {out[0], out[1], out[2]}), fields);
}

void TestUtil::fileExists()
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("line"));
    writeFile(dir, "line/yamanote.txt", "x");
    writeFile(dir, "line/Both.txt", "upper");
    writeFile(dir, "line/both.txt", "lower");

    QVERIFY(FileExists(dir.filePath("line/yamanote.txt")));
    // Names compare without regard to case, component by component.
    QVERIFY(FileExists(dir.filePath("LINE/YAMANOTE.TXT")));
    QCOMPARE(ResolvePath(dir.filePath("LINE/YAMANOTE.TXT")), dir.filePath("line/yamanote.txt"));
    // An exact match wins over a case-folded one.
    QCOMPARE(ResolvePath(dir.filePath("line/both.txt")), dir.filePath("line/both.txt"));
    QCOMPARE(ResolvePath(dir.filePath("line/Both.txt")), dir.filePath("line/Both.txt"));

    QVERIFY(!FileExists(QString()));
    QVERIFY(!FileExists(dir.filePath("line"))); // a folder
    QVERIFY(!FileExists(dir.filePath("LINE"))); // a folder, found by case
    QVERIFY(!FileExists(dir.filePath("line/missing.txt")));
    QVERIFY(!FileExists(dir.filePath("line/yamanote.txt/x")));

    // Relative paths are taken from the current folder.
    const QString keep = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QVERIFY(FileExists("Line/Yamanote.Txt"));
    QDir::setCurrent(keep);
}

void TestUtil::textFileLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList {"a", "b"};
    QTest::newRow("lone cr") << QByteArray("a\rb") << QStringList {"a", "b"};
    QTest::newRow("lone lf stays") << QByteArray("a\nb\r\nc") << QStringList {"a\nb", "c"};
    QTest::newRow("two breaks at end") << QByteArray("a\r\n\r\n") << QStringList {"a", ""};
    QTest::newRow("cr cr") << QByteArray("a\r\rb") << QStringList {"a", "", "b"};
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF東京\r\n") << QStringList {"東京"};
    QTest::newRow("a line past the limit is not decoded")
        << "a\r\n" + QByteArray(TextFile::kMaxLineBytes + 1, 'x') + "\r\nb"
        << QStringList {"a", "", "b"};
}

void TestUtil::textFileLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    TextFile file;
    QVERIFY(file.open(writeFile(dir, "f.txt", bytes)));
    QStringList got;
    while (!file.atEnd())
        got << file.readLine();
    QCOMPARE(got, lines);
}

void TestUtil::decodeCp932_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("backslash stays") << QByteArray("\x5c") << QStringLiteral("\\");
    QTest::newRow("wave dash") << QByteArray("\x81\x60") << QStringLiteral("\uFF5E");
    QTest::newRow("circled one") << QByteArray("\x87\x40") << QStringLiteral("①");
    QTest::newRow("half-width katakana") << QByteArray("\xc3\xde\xdd") << QStringLiteral("ﾃﾞﾝ");
    QTest::newRow("kanji with 5c trail") << QByteArray("\x95\x5c") << QStringLiteral("表");
    QTest::newRow("invalid lead") << QByteArray("a\x80z") << QStringLiteral("a\uFFFDz");
    QTest::newRow("truncated pair") << QByteArray("a\x93") << QStringLiteral("a\uFFFD");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestUtil::decodeCp932()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(DecodeCp932(bytes.constData(), bytes.size()), text);
}

void TestUtil::seekMarkerLine()
{
    FakeHost host;
    QTemporaryDir dir;
    const QString path = writeLineFile(dir, "m.txt", {"name", "### ", "###", "station,えき"});
    TextFile file;
    QVERIFY(file.open(path));
    file.readLine();
    QVERIFY(SeekMarkerLine("###", file));
    QCOMPARE(file.readLine(), QStringLiteral("station,えき"));

    QVERIFY(file.open(writeLineFile(dir, "n.txt", {"name", "a", "## #"})));
    QVERIFY(!SeekMarkerLine("###", file));
    QVERIFY(file.atEnd());
}

void TestUtil::parseLineFile_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("freeText");
    QTest::addColumn<bool>("marker");
    // "line:name,reading,extra" trimmed, then the raw fields "name,reading,extra".
    QTest::addColumn<QStringList>("stations");
    QTest::addColumn<QStringList>("rawFields");
    QTest::addColumn<bool>("overLimit");
    QTest::addColumn<int>("passes"); // calls before a line is read or the end is found
    QTest::addColumn<int>("loopLine"); // the loop mark's line, 0: none

    QTest::newRow("free text kept, stations numbered")
        << QStringList {"線 ;c", "説明", "; note", "###", "a,b", "", "c,d,e,f"} << -1 << "線"
        << QStringList {"説明", "; note"} << true << QStringList {"5:a,b,", "6:,,", "7:c,d,e"}
        << QStringList {"a,b,", ",,", "c,d,e"} << false << 7 << 0;
    QTest::newRow("raw fields keep blanks the game trims")
        << QStringList {"\u3000L", "###", " a ,\u3000b\u3000;x"} << -1 << "L" << QStringList {}
        << true << QStringList {"3:a,b,"} << QStringList {"a ,\u3000b\u3000,"} << false << 3 << 0;
    QTest::newRow("### as line 1 is the name")
        << QStringList {"###", "x", "###", "a"} << -1 << "###" << QStringList {"x"} << true
        << QStringList {"4:a,,"} << QStringList {"a,,"} << false << 4 << 0;
    QTest::newRow("### with a blank or a comment is no marker")
        << QStringList {"L", "### ", "###;c"} << -1 << "L" << QStringList {"### ", "###;c"} << false
        << QStringList {} << QStringList {} << false << 3 << 0;
    QTest::newRow("marker on the last line, no end pass")
        << QStringList {"L", "###"} << -1 << "L" << QStringList {} << true << QStringList {}
        << QStringList {} << false << 1 << 0;
    QTest::newRow("limit stops at the next station")
        << QStringList {"L", "###", "a", "b", "c"} << 2 << "L" << QStringList {} << true
        << QStringList {"3:a,,", "4:b,,"} << QStringList {"a,,", "b,,"} << true << 4 << 0;
    // The mark is free text like any other, found with blanks of either width around it; a
    // second mark or one among the stations changes nothing.
    QTest::newRow("loop mark") << QStringList {"L", "x", "\u3000@環状 ", "@環状", "###", "@環状,a"}
                               << -1 << "L" << QStringList {"x", "\u3000@環状 ", "@環状"} << true
                               << QStringList {"6:@環状,a,"} << QStringList {"@環状,a,"} << false
                               << 6 << 3;
    QTest::newRow("a mark with more is none")
        << QStringList {"L", "@環状線", "###"} << -1 << "L" << QStringList {"@環状線"} << true
        << QStringList {} << QStringList {} << false << 2 << 0;
}

void TestUtil::parseLineFile()
{
    QFETCH(QStringList, lines);
    QFETCH(int, limit);
    QTemporaryDir dir;
    TextFile file;
    QVERIFY(file.open(writeLineFile(dir, "l.txt", lines)));
    int passes = 0;
    LineFileOptions options;
    options.stationLimit = limit;
    options.beforeLine = [&](const LineFile& sofar) {
        QCOMPARE(sofar.rawName, lines.first()); // the name is known from the first call on
        ++passes;
    };
    const LineFile got = ParseLineFile(file, options);
    QStringList stations, rawFields;
    for (const LineFileStation& st : got.stations) {
        QCOMPARE(st.raw, lines.at(st.line - 1));
        stations << QString::number(st.line) + u':'
                + QStringList(st.fields.begin(), st.fields.end()).join(u',');
        rawFields << QStringList(st.rawFields.begin(), st.rawFields.end()).join(u',');
    }
    QTEST(got.name, "name");
    QTEST(got.freeText, "freeText");
    QTEST(got.marker, "marker");
    QTEST(stations, "stations");
    QTEST(rawFields, "rawFields");
    QTEST(got.overLimit, "overLimit");
    QTEST(passes, "passes");
    QTEST(got.loopLine, "loopLine");
    QCOMPARE(got.loop, got.loopLine > 0);
}

void TestUtil::waitTicksVirtual_data()
{
    QTest::addColumn<qint64>("startTick");
    QTest::addColumn<int>("duration");
    QTest::addColumn<qint64>("minWaited");
    QTest::addColumn<qint64>("maxWaited");
    QTest::newRow("100") << qint64(0) << 100 << qint64(101) << qint64(101);
    QTest::newRow("zero advances the counter") << qint64(0) << 0 << qint64(1) << qint64(1);
    QTest::newRow("negative returns at once") << qint64(0) << -5 << qint64(0) << qint64(0);
    QTest::newRow("across signed overflow")
        << qint64(0x7FFFFFF0) << 100 << qint64(101) << qint64(101);
    QTest::newRow("across 32-bit wrap")
        << qint64(0xFFFFFFF0) << 2000 << qint64(2001) << qint64(2001);
}

void TestUtil::waitTicksVirtual()
{
    QFETCH(qint64, startTick);
    QFETCH(int, duration);
    QFETCH(qint64, minWaited);
    QFETCH(qint64, maxWaited);
    FakeHost host;
    host.now = startTick;
    WaitTicks(std::int16_t(duration));
    QVERIFY2(host.waitedMs >= minWaited && host.waitedMs <= maxWaited,
             qPrintable(QString::number(host.waitedMs)));
}

void TestUtil::waitTicksRealDeliversEvents()
{
    // The real platform: the wait sleeps on the event loop and timers fire during it.
    int fired = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++fired; });
    timer.start(10);
    QElapsedTimer clock;
    clock.start();
    WaitTicks(200);
    const qint64 took = clock.elapsed();
    QVERIFY2(took >= 200 && took < 400, qPrintable(QString::number(took)));
    QVERIFY2(fired >= 5, qPrintable(QString::number(fired)));
}

QTEST_GUILESS_MAIN(TestUtil)
#include "test_util.moc"
