// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The line checker's rules, as tabidori-linecheck applies them, against a small dictionary.

#include "linecheck.h"
#include "stationdictionary.h"
#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestLibrary : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void checkerRules_data();
    void checkerRules();
    void fillReadings();

private:
    QTemporaryDir dir_;
    StationDictionary dictionary_;
};

void TestLibrary::initTestCase()
{
    // The dictionary's own format: "reading /name;note/name/", one reading per line.
    dictionary_.loadText(QStringLiteral(";; comment\n"
                                        "しぶや /渋谷/\n"
                                        "しぶやえき /渋谷駅/\n"
                                        "いちがや /市ケ谷;JR/市ヶ谷/\n"
                                        "にほんばし /日本橋/\n"
                                        "にっぽんばし /日本橋;大阪/\n"
                                        "じぇいあーるなんば /ＪＲ難波/\n"));
}

void TestLibrary::checkerRules_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("strict");
    // Each problem as "line:E|W:words the message holds"; "" for a clean file.
    QTest::addColumn<QStringList>("expected");

    const auto line = [](const QStringList& stations, const char* name = "線") {
        return toCp932(
            (QStringList {QString::fromUtf8(name), "説明", "###"} + stations).join("\r\n"));
    };
    QTest::newRow("clean, with the dictionary's spellings folded") << line(
        {"渋谷駅,しぶや", "市ヶ谷,いちがや", "JR難波,じぇいあーるなんば", "日本橋,にっぽんばし"})
                                                                   << true << QStringList {};
    QTest::newRow("no name") << line({"渋谷,しぶや"}, " ;x") << false << QStringList {"1:E:路線名"};
    QTest::newRow("no marker") << toCp932("線\r\n渋谷,しぶや") << false << QStringList {"0:E:###"};
    QTest::newRow("no stations") << line({}) << false << QStringList {"0:E:駅がありません"};
    QTest::newRow("empty station line")
        << line({"", "渋谷,しぶや"}) << false << QStringList {"4:E:駅名がありません"};
    QTest::newRow("missing reading, the dictionary's given")
        << line({"渋谷"}) << false << QStringList {"4:E:読みがありません:しぶや"};
    QTest::newRow("full-width comma named as such")
        << line({"腰越，こしごえ", "長谷、はせ"}) << false
        << QStringList {"4:E:全角の「，」か「、」", "5:E:全角の「，」か「、」"};
    QTest::newRow("katakana reading")
        << line({"渋谷,シブヤ"}) << false << QStringList {"4:E:ひらがな", "4:E:辞書と違います"};
    QTest::newRow("reading the dictionary does not give")
        << line({"渋谷,しぶたに"}) << false << QStringList {"4:E:辞書と違います:しぶや"};
    QTest::newRow("duplicate") << line({"渋谷,しぶや", "渋谷,しぶや"}) << false
                               << QStringList {"5:E:4 行目と同じ"};
    QTest::newRow("unknown station, a note")
        << line({"新駅,しんえき"}) << false << QStringList {"4:W:辞書にない"};
    QTest::newRow("unknown station, strict")
        << line({"新駅,しんえき"}) << true << QStringList {"4:E:辞書にない"};
    QTest::newRow("unknown station with an exception")
        << line({"例外駅,れいがいえき"}) << true << QStringList {};
    QTest::newRow("blank at a field's end")
        << line({"渋谷 ,しぶや\u3000"}) << false << QStringList {"4:W:空白"};
    QTest::newRow("bytes that are not CP932") << line({"渋谷,しぶや"})
            + "\r\n\x80\xA0,\x82\xA0" << false << QStringList {"5:E:CP932", "5:W:辞書にない"};
    QTest::newRow("lone LF among CR LF")
        << line({"渋谷,しぶや\n神泉,しんせん"}) << false
        << QStringList {"4:E:LF", "4:E:ひらがな", "4:E:辞書と違います"};
    QTest::newRow("UTF-8 with LF reads like the game")
        << QByteArray("線\n###\n渋谷,しぶや\n") << true << QStringList {};
    QStringList many;
    for (int i = 0; i < 1002; ++i)
        many << QStringLiteral("駅%1,えき").arg(i);
    QTest::newRow("1002 stations") << line(many) << false << QStringList {"0:E:1002"};
}

void TestLibrary::checkerRules()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, strict);
    QFETCH(QStringList, expected);
    LineExceptions exceptions;
    exceptions.add(QStringLiteral("region/line.txt"), QStringLiteral("例外駅"),
                   QStringLiteral("れいがいえき"));
    QDir().mkpath(dir_.filePath("region"));
    const QString path = writeFile(dir_, QStringLiteral("region/line.txt"), bytes);
    const LineCheck check = CheckLineFile(path, {&dictionary_, &exceptions, strict});
    QStringList got;
    for (const LineProblem& p : check.problems) {
        got << QStringLiteral("%1:%2:%3%4")
                   .arg(p.line)
                   .arg(QChar(p.severity == LineProblem::Severity::Error ? u'E' : u'W'))
                   .arg(p.what, p.dictionary.isEmpty() ? QString() : u':' + p.dictionary);
    }
    if (QTest::currentDataTag() == QLatin1String("1002 stations")) {
        // Every station is unknown to the dictionary as well; only the count matters here.
        got.erase(std::remove_if(got.begin(), got.end(),
                                 [](const QString& g) { return g.contains(u"辞書にない"); }),
                  got.end());
    }
    QVERIFY2(got.size() == expected.size(), qPrintable(got.join(" | ")));
    for (int i = 0; i < expected.size(); ++i) {
        const QStringList want = expected[i].split(u':');
        const QStringList have = got[i].split(u':');
        QVERIFY2(have.value(0) == want[0] && have.value(1) == want[1], qPrintable(got[i]));
        for (int k = 2; k < want.size(); ++k)
            QVERIFY2(got[i].contains(want[k]), qPrintable(got[i]));
    }
    QCOMPARE(check.errors() == 0, expected.filter(QStringLiteral(":E:")).isEmpty());
}

void TestLibrary::fillReadings()
{
    // 日本橋 has two readings: it stays empty for the author to choose.
    const QByteArray original = toCp932("線\r\n###\r\n渋谷 ;メモ\r\n日本橋\r\n市ヶ谷,,地下鉄\r\n");
    const QString path = writeFile(dir_, QStringLiteral("fill.txt"), original);
    QString written, why;
    QCOMPARE(FillReadings(path, dictionary_, &written, &why), 2);
    QCOMPARE(written, dir_.filePath("fill.filled.txt"));
    QFile out(written);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(),
             toCp932("線\r\n###\r\n渋谷,しぶや;メモ\r\n日本橋\r\n市ヶ谷,いちがや,地下鉄\r\n"));
    QFile in(path);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QCOMPARE(in.readAll(), original);
    // Never over a file that is there already.
    QCOMPARE(FillReadings(path, dictionary_, &written, &why), -1);
    QVERIFY(!why.isEmpty());
}

QTEST_GUILESS_MAIN(TestLibrary)
#include "test_library.moc"
