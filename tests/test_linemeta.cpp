// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// What a line file says about its line and stations, read from its free text and third fields.
#include "linemeta.h"

#include <QTest>

class TestLineMeta : public QObject
{
    Q_OBJECT
private slots:
    void stationExtra_data();
    void stationExtra();
    void lineMeta_data();
    void lineMeta();
};

void TestLineMeta::stationExtra_data()
{
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QString>("position"); // "lat/lng" to 6 decimals, "" when none
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("malformed");
    QTest::newRow("empty") << "" << QStringList {} << ""
                           << "" << false;
    QTest::newRow("a note only, as hand-made files have it") << "始発駅" << QStringList {} << ""
                                                             << "始発駅" << false;
    QTest::newRow("numbers, position, note, blanks of either width")
        << "#JY24\u3000#JC05  @35.619772/139.728439 成田 第1" << QStringList {"JY24", "JC05"}
        << "35.619772/139.728439"
        << "成田 第1" << false;
    QTest::newRow("branch and letter numbers")
        << "#NK45-1 #K04A #03" << QStringList {"NK45-1", "K04A", "03"} << ""
        << "" << false;
    QTest::newRow("a number that is not one stays in the note")
        << "#JY-24-5 #" << QStringList {} << ""
        << "#JY-24-5 #" << true;
    QTest::newRow("a position out of range or half given stays in the note")
        << "@95.0/139.0 @35.1" << QStringList {} << ""
        << "@95.0/139.0 @35.1" << true;
    QTest::newRow("a second position is a note")
        << "@35.0/139.0 @36.0/140.0" << QStringList {} << "35.000000/139.000000"
        << "@36.0/140.0" << false;
}

void TestLineMeta::stationExtra()
{
    QFETCH(QString, extra);
    QFETCH(QStringList, numbers);
    QFETCH(QString, position);
    QFETCH(QString, note);
    QFETCH(bool, malformed);
    bool bad = !malformed;
    const StationMeta meta = ParseStationExtra(extra, &bad);
    QCOMPARE(meta.numbers, numbers);
    QCOMPARE(
        meta.hasPosition
            ? QStringLiteral("%1/%2").arg(meta.latitude, 0, 'f', 6).arg(meta.longitude, 0, 'f', 6)
            : QString(),
        position);
    QCOMPARE(meta.note, note);
    QCOMPARE(bad, malformed);
    // What is written reads back the same, and never holds a field or comment separator.
    StationMeta written = meta;
    written.note += QStringLiteral(",;");
    const QString text = FormatStationExtra(written);
    QVERIFY(!text.contains(u',') && !text.contains(u';'));
    const StationMeta back = ParseStationExtra(text);
    QCOMPARE(back.numbers, meta.numbers);
    QCOMPARE(back.hasPosition, meta.hasPosition);
    QVERIFY(qAbs(back.latitude - meta.latitude) < 1e-6);
}

void TestLineMeta::lineMeta_data()
{
    QTest::addColumn<QStringList>("freeText");
    // operator|colour|symbol|section|prefectures|loop|references|prose
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("problems"); // "line:start of the message"
    // SuspendedText|runsOver joined by blanks
    QTest::addColumn<QString>("service");
    QTest::newRow("prose only, as hand-made files")
        << QStringList {"東京メトロの路線。", "", "渋谷から浅草まで。"}
        << "|||||0||東京メトロの路線。/渋谷から浅草まで。"
        << "東京メトロの路線。" << QStringList {} << "|";
    QTest::newRow("every key, colons of either width")
        << QStringList {"@読み: じぇいあーるやまのてせん",
                        "@事業者：JR東日本",
                        " @色: #9acd32",
                        "@記号: JY",
                        "@区間: 大崎～大崎",
                        "@都道府県: 東京都\u3000神奈川県",
                        "@環状",
                        "出典: station_database",
                        "説明"}
        << "JR東日本|#9ACD32|JY|大崎～大崎|東京都 神奈川県|1|station_database|説明"
        << "大崎～大崎\u3000東京都・神奈川県" << QStringList {} << "|";
    QTest::newRow("unknown key, bad colour, no colon")
        << QStringList {"@色: red", "@線色: #000000", "@記号"} << "|||||0||"
        << "" << QStringList {"2:@色", "3:知らないキー", "4:「@記号」"} << "|";
    QTest::newRow("suspended sections and the lines run over")
        << QStringList {"@運休: 蟹田～三厩 2022-08 大雨", "@運休：人吉〜吉松\u30002020-07",
                        "@経由: JR京浜東北線\u3000JR根岸線"}
        << "|||||0||"
        << "" << QStringList {}
        << "蟹田～三厩 運休中（2022年8月から）、人吉～吉松 運休中（2020年7月から）"
           "|JR京浜東北線 JR根岸線";
    QTest::newRow("malformed suspensions and an empty 経由")
        << QStringList {"@運休: 蟹田 2022-08", "@運休: 蟹田～三厩 2022-13 大雨",
                        "@運休: 蟹田～蟹田 2022-08", "@運休: 蟹田～三厩 2022年8月", "@経由:"}
        << "|||||0||"
        << "" << QStringList {"2:@運休「蟹田 2022-08」", "3:@運休", "4:@運休", "5:@運休", "6:@経由"}
        << "|";
}

void TestLineMeta::lineMeta()
{
    QFETCH(QStringList, freeText);
    QFETCH(QString, fields);
    QFETCH(QString, description);
    QFETCH(QStringList, problems);
    QFETCH(QString, service);
    const LineMeta meta = ParseLineMeta(freeText);
    QCOMPARE(SuspendedText(meta) + u'|' + meta.runsOver.join(u' '), service);
    const QString got = QStringList {meta.operatorName,
                                     meta.colour,
                                     meta.symbol,
                                     meta.section,
                                     meta.prefectures.join(u' '),
                                     meta.loop ? QStringLiteral("1") : QStringLiteral("0"),
                                     meta.references.join(u'/'),
                                     meta.prose.join(u'/')}
                            .join(u'|');
    QCOMPARE(got, fields);
    QCOMPARE(LineDescription(meta), description);
    QCOMPARE(meta.problems.size(), problems.size());
    for (int i = 0; i < problems.size(); ++i) {
        const QString p = QString::number(meta.problems[i].line) + u':' + meta.problems[i].what;
        QVERIFY2(p.startsWith(problems[i]), qPrintable(p));
    }
}

QTEST_GUILESS_MAIN(TestLineMeta)
#include "test_linemeta.moc"
