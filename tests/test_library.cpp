// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The line checker's rules, as tabidori-linecheck applies them, against a small dictionary;
// finding a line, and 路線一覧 split into menus that fit on the screen.

#include "codec.h"
#include "fakehost.h"
#include "finder.h"
#include "linecheck.h"
#include "linegeometry.h"
#include "linegroups.h"
#include "linelibrary.h"
#include "stationdictionary.h"
#include "testfiles.h"
#include "trackfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestLibrary : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void checkerRules_data();
    void checkerRules();
    void networkRules_data();
    void networkRules();
    void fillReadings();
    void finderMatches_data();
    void finderMatches();
    void menuSplitKeepsMenusShort();
    void trackJoinsPairs_data();
    void trackJoinsPairs();
    void trackFileRoundTripAndDamage();
    void checkerAlongTrack_data();
    void checkerAlongTrack();
    void readAheadLeavesNothingToRead();

private:
    QTemporaryDir dir_;
    StationDictionary dictionary_, enamdict_;
};

namespace {

// "name,ぴー,#numbers @lat/lng": the stations of the map rows, all in the test dictionary.
QString at(const QString& name, double lat, double lng, const QString& numbers = {})
{
    return QStringLiteral("%1,ぴー,%2@%3/%4").arg(name, numbers).arg(lat).arg(lng);
}

// p0, p1, ... northwards from 35°N, 139°E, about 1.1 km apart.
QStringList straight(int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << at(QStringLiteral("p%1").arg(i), 35 + 0.01 * i, 139);
    return out;
}

// Problems as "line:E|W:what:dictionary", in the checker's order.
QStringList described(const QList<LineProblem>& problems)
{
    QStringList got;
    for (const LineProblem& p : problems) {
        got << QStringLiteral("%1:%2:%3%4")
                   .arg(p.line)
                   .arg(QChar(p.severity == LineProblem::Severity::Error ? u'E' : u'W'))
                   .arg(p.what, p.dictionary.isEmpty() ? QString() : u':' + p.dictionary);
    }
    return got;
}

// Each expected problem as "fields:words..." where the first fields must equal got's and each
// word must occur in it.
void compareProblems(const QStringList& got, const QStringList& expected, int fields)
{
    QVERIFY2(got.size() == expected.size(), qPrintable(got.join(" | ")));
    for (int i = 0; i < expected.size(); ++i) {
        const QStringList want = expected[i].split(u':');
        QVERIFY2(got[i].split(u':').mid(0, fields) == want.mid(0, fields), qPrintable(got[i]));
        for (int k = fields; k < want.size(); ++k)
            QVERIFY2(got[i].contains(want[k]), qPrintable(got[i]));
    }
}

} // namespace

void TestLibrary::initTestCase()
{
    // The dictionary's own format: "reading /name;note/name/", one reading per line.
    dictionary_.loadText(QStringLiteral(";; comment\n"
                                        "しぶや /渋谷/\n"
                                        "しぶやえき /渋谷駅/\n"
                                        "いちがや /市ケ谷;JR/市ヶ谷/\n"
                                        "にほんばし /日本橋/\n"
                                        "にっぽんばし /日本橋;大阪/\n"
                                        "じぇいあーるなんば /ＪＲ難波/\n"
                                        "ぴー /p0/p1/p2/p3/p4/p5/p6/折返/\n"));
    // ENAMDICT's form; only the station entries count, a trailing 駅 or えき is dropped and
    // katakana is read as hiragana.
    const QByteArray enamdict
        = EncodeText(u"桂駅 [かつらえき] /(st) Katsura Station/\n"
                     u"上桂駅 [カミカツラ] /(st) Kamikatsura/\n"
                     u"三宮・花時計前駅 [さんのみや・はなどけいまええき] /(st)/\n"
                     u"嵐山駅 [あらしやまえき] /(st) Arashiyama Station/\n"
                     u"鴨川 [かもがわ] /(p) Kamogawa/\n",
                     "EUC-JP")
              .value();
    QVERIFY(enamdict_.loadEnamdict(writeFile(dir_, QStringLiteral("enamdict"), enamdict)));
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

    const auto meta = [](const QStringList& freeText, const QStringList& stations) {
        return toCp932(
            (QStringList {"線"} + freeText + QStringList {"###"} + stations).join("\r\n"));
    };
    const QStringList keys {"@読み: せん",   "@事業者: 会社",     "@色: #9acd32",    "@記号: T",
                            "@区間: p0～p4", "@都道府県: 東京都", "出典: 手で調べた"};
    QTest::newRow("metadata, numbers with a gap, a straight path")
        << meta(keys,
                {at("p0", 35, 139, "#T01 #K09 "), at("p1", 35.01, 139, "#T02 "),
                 at("p2", 35.02, 139, "#T04 #K05 "), at("p3", 35.03, 139, "#T05 #K04 ")})
        << true << QStringList {};
    QTest::newRow("unknown key") << meta({"@路線: x"}, straight(3)) << true
                                 << QStringList {"2:E:知らないキー"};
    QTest::newRow("suspended sections not between stations in order")
        << meta({"@運休: p0～p9 2022-08 大雨", "@運休: p2～p0 2022-08", "@運休: p0～p2 2022"},
                straight(3))
        << true
        << QStringList {"4:E:@運休:形ではありません", "2:E:p9:駅ではありません", "3:E:p2～p0:順"};
    QTest::newRow("bad colour") << meta({"@色: 緑"}, straight(3)) << true
                                << QStringList {"2:E:#RRGGBB"};
    QTest::newRow("malformed number and position")
        << meta({}, {"p0,ぴー,#T-1 @35.0"}) << true << QStringList {"3:E:書き方:#T-1 @35.0"};
    QTest::newRow("numbers out of order")
        << meta({},
                {at("p0", 35, 139, "#T01 "), at("p1", 35.01, 139, "#T03 "),
                 at("p2", 35.02, 139, "#T02 "), at("p3", 35.03, 139, "#T04 ")})
        << true << QStringList {"5:E:順が逆:4 行目の T03 の次が T02"};
    QTest::newRow("outside Japan, one station without a position")
        << meta({}, straight(3) + QStringList {at("p3", 10, 139), "p4,ぴー"}) << true
        << QStringList {"6:E:日本の外", "7:W:位置のない駅:5 駅のうち 1 駅"};
    QTest::newRow("gap") << meta({}, straight(6) + QStringList {at("p6", 35.1, 139)}) << true
                         << QStringList {"9:E:p5 から 5.6 km"};
    const QStringList back {at("p0", 35, 139), at("p1", 35.01, 139), at("p2", 35.03, 139),
                            at("p3", 35.02, 139), at("p4", 35.015, 139)};
    QTest::newRow("doubling back") << meta({}, back) << true << QStringList {"5:E:p2 で折り返し"};
    QTest::newRow("a detour off the direct way")
        << meta({},
                {at("p0", 35, 139), at("p1", 35.01, 139), at("p2", 35.02, 139.02),
                 at("p3", 35.03, 139), at("p4", 35.04, 139)})
        << true << QStringList {"5:E:p2 が遠回り"};
    QTest::newRow("doubling back, a known case")
        << meta({}, QStringList(back).replaceInStrings("p2", "折返")) << true << QStringList {};
    QTest::newRow("loop whose ends meet")
        << meta({"@環状"},
                {at("p0", 35, 139, "#L03 "), at("p1", 35.01, 139, "#L04 "),
                 at("p2", 35.01, 139.012, "#L01 "), at("p3", 35, 139.012, "#L02 ")})
        << true << QStringList {};
    QTest::newRow("loop ends far apart")
        << meta({"@環状"}, straight(5)) << true << QStringList {"4:E:最後の駅 p4 と最初の駅 p0"};
    QTest::newRow("ENAMDICT confirms what SKK does not know")
        << line({"桂駅,かつらえき", "上桂,かみかつら", "三宮・花時計前,さんのみやはなどけいまえ",
                 "市ヶ谷,いちがや"})
        << true << QStringList {};
    // 鴨川 is only a place name there, not a station.
    QTest::newRow("ENAMDICT contradicts, knows stations only")
        << line({"嵐山,らんざん", "鴨川,かもがわ"}) << true
        << QStringList {"4:E:辞書と違います:ENAMDICT あらしやま", "5:E:辞書にない"};
}

void TestLibrary::checkerRules()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, strict);
    QFETCH(QStringList, expected);
    LineExceptions exceptions;
    exceptions.add(QStringLiteral("region/line.txt"), QStringLiteral("例外駅"),
                   QStringLiteral("れいがいえき"));
    LineKnownCases known;
    known.add(QStringLiteral("region/line.txt"), QStringLiteral("折返"), QStringLiteral("back"));
    QDir().mkpath(dir_.filePath("region"));
    const QString path = writeFile(dir_, QStringLiteral("region/line.txt"), bytes);
    const LineCheck check
        = CheckLineFile(path, {&dictionary_, &exceptions, strict, &enamdict_, &known});
    QStringList got = described(check.problems);
    if (QTest::currentDataTag() == QLatin1String("1002 stations")) {
        // Every station is unknown to the dictionary as well; only the count matters here.
        got.erase(std::remove_if(got.begin(), got.end(),
                                 [](const QString& g) { return g.contains(u"辞書にない"); }),
                  got.end());
    }
    compareProblems(got, expected, 2);
    QCOMPARE(check.errors() == 0, expected.filter(QStringLiteral(":E:")).isEmpty());
}

void TestLibrary::networkRules_data()
{
    // The files' free text and stations, each checked alone and then together.
    QTest::addColumn<QList<QStringList>>("files");
    // Each problem as "file index:line:words".
    QTest::addColumn<QStringList>("expected");

    const auto file = [](const char* name, const char* operatorName, const QStringList& stations,
                         const char* section = "") {
        QStringList lines {QString::fromUtf8(name), QStringLiteral("@事業者: ") + operatorName};
        if (*section)
            lines << QStringLiteral("@区間: ") + section;
        return lines + QStringList {"###"} + stations;
    };
    QTest::newRow("one name in two sections, one reading per operator") << QList<QStringList> {
        file("本線", "甲", {"渋谷,しぶや"}, "渋谷～原宿"),
        file("本線", "甲", {"渋谷,しぶや"}, "渋谷～新宿"), file("別線", "乙", {"渋谷,しぶたに"}),
        file("例外線", "乙", {"渋谷,しぶたに", "例外駅,れいがいえき"}),
        file("例外線2", "乙", {"例外駅,れいえき"})} << QStringList {};
    QTest::newRow("duplicate line names")
        << QList<QStringList> {file("本線", "甲", {"渋谷,しぶや"}),
                               file("本線", "乙", {"原宿,はらじゅく"})}
        << QStringList {"1:1:0.txt と同じです:本線"};
    QTest::newRow("a former name that is a line of today")
        << QList<QStringList> {file("奈良線", "甲", {"奈良,なら"}),
                               QStringList {"奈良線(難波～奈良)", "@旧名: 奈良線", "###",
                                            "難波,なんば"}}
        << QStringList {"1:1:@旧名 の 奈良線 は今もある路線の名前です"};
    QTest::newRow("one operator, two readings")
        << QList<QStringList> {file("a線", "甲", {"渋谷,しぶや"}),
                               file("b線", "甲", {"渋谷,しぶたに"}),
                               file("c線", "甲", {"原宿,はらじゅく", "渋谷,しぶや"})}
        << QStringList {"1:4:同じ事業者 (甲) の:0.txt:4:しぶや:渋谷,しぶたに"};
    QTest::newRow("a through service over a line the library has not")
        << QList<QStringList> {file("本線", "甲", {"渋谷,しぶや"}),
                               QStringList {"直通線", "@経由: 本線 無い線 直通線", "###",
                                            "渋谷,しぶや"}}
        << QStringList {"1:1:@経由 の 無い線", "1:1:@経由 の 直通線"};
}

void TestLibrary::networkRules()
{
    QFETCH(QList<QStringList>, files);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("region"));
    LineExceptions exceptions;
    exceptions.add(QStringLiteral("region/4.txt"), QStringLiteral("例外駅"),
                   QStringLiteral("れいえき"));
    QList<CheckedLine> lines;
    for (int i = 0; i < files.size(); ++i) {
        const QString path = writeLineFile(dir, QStringLiteral("region/%1.txt").arg(i), files[i]);
        lines.append({path, CheckLineFile(path)});
    }
    QStringList got;
    LineCheckOptions options {nullptr, &exceptions};
    options.wholeLibrary = true;
    for (const NetworkProblem& p : CheckNetwork(lines, options)) {
        const int index = QFileInfo(p.path).baseName().toInt();
        got << QStringLiteral("%1:%2").arg(index).arg(described({p.problem}).value(0));
    }
    compareProblems(got, expected, 2);
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

namespace {

IndexedLine madeLine(const QString& name, const QString& meta, const QString& stations)
{
    IndexedLine line;
    line.name = name;
    line.region = meta.isEmpty() ? QString() : QStringLiteral("kanto");
    line.meta = ParseLineMeta(meta.split(u'|', Qt::SkipEmptyParts));
    for (const QString& s : stations.split(u' '))
        line.stations.append({s.section(u',', 0, 0), s.section(u',', 1, 1), {}});
    return line;
}

} // namespace

void TestLibrary::finderMatches_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("found"); // line, and @station when found by one
    const QStringList shinjuku {"都営新宿線", "小田急小田原線@新宿", "JR山手線@新宿",
                                "東京メトロ丸ノ内線@新宿三丁目"};
    QTest::newRow("kanji name") << "山手線" << QStringList {"JR山手線"};
    QTest::newRow("kana reading") << "やまのて" << QStringList {"JR山手線"};
    QTest::newRow("katakana reading") << "ヤマノテ" << QStringList {"JR山手線"};
    QTest::newRow("full-width letters") << "ＪＲ" << QStringList {"JR山手線"};
    QTest::newRow("symbol") << "jy" << QStringList {"JR山手線"};
    QTest::newRow("station name") << "新宿" << shinjuku;
    QTest::newRow("station reading") << "しんじゅく" << shinjuku;
    QTest::newRow("station, hand-made line last")
        << "シブヤ" << QStringList {"JR山手線@渋谷", "銀座線@渋谷"};
    QTest::newRow("romaji reading") << "yamanote" << QStringList {"JR山手線"};
    QTest::newRow("romaji station") << "Shinjuku" << shinjuku;
    QTest::newRow("romaji as typed so far")
        << "shinjuk"
        << QStringList {"都営新宿線", "小田急小田原線@新宿", "東京メトロ丸ノ内線@新宿三丁目",
                        "JR山手線@新宿"};
    QTest::newRow("letters that are no romaji") << "JY" << QStringList {"JR山手線"};
    QTest::newRow("operator") << "交通局" << QStringList {"都営新宿線"};
    QTest::newRow("prefecture") << "神奈川" << QStringList {"小田急小田原線"};
    QTest::newRow("a line's name brings the through service over it")
        << "丸ノ内" << QStringList {"東京メトロ丸ノ内線", "直通快速"};
    QTest::newRow("a through service found by a station stays ranked by it")
        << "池袋" << QStringList {"東京メトロ丸ノ内線@池袋", "直通快速@池袋"};
    QTest::newRow("no match") << "札幌" << QStringList {};
    QTest::newRow("blank") << "　 " << QStringList {};
}

void TestLibrary::finderMatches()
{
    QFETCH(QString, query);
    QFETCH(QStringList, found);
    const QList<IndexedLine> lines {
        madeLine("銀座線", "", "渋谷,しぶや 新橋,しんばし"),
        madeLine("JR山手線",
                 "@読み: じぇいあーるやまのてせん|@事業者: JR東日本|@記号: JY|@都道府県: 東京都",
                 "新宿,しんじゅく 渋谷,しぶや 東京,とうきょう"),
        madeLine("都営新宿線",
                 "@読み: とえいしんじゅくせん|@事業者: 東京都交通局|@都道府県: 東京都 千葉県",
                 "新宿,しんじゅく 本八幡,もとやわた"),
        madeLine("東京メトロ丸ノ内線", "@読み: とうきょうめとろまるのうちせん|@事業者: 東京メトロ",
                 "池袋,いけぶくろ 新宿三丁目,しんじゅくさんちょうめ"),
        madeLine("小田急小田原線",
                 "@読み: おだきゅうおだわらせん|@事業者: 小田急電鉄|@都道府県: 東京都 神奈川県",
                 "新宿,しんじゅく 小田原,おだわら"),
        madeLine("直通快速", "@経由: 東京メトロ丸ノ内線 無い線", "池袋,いけぶくろ"),
    };
    QStringList got;
    for (const FinderHit& hit : FindLines(BuildFinderIndex(lines), query)) {
        const IndexedLine& line = lines[hit.line];
        got << line.name + (hit.station < 0 ? QString() : u'@' + line.stations[hit.station].name);
    }
    QCOMPARE(got, found);
}

// A region of 400 lines, most of them in one prefecture, one operator with 40 lines there, and
// hand-made files without metadata: every menu within the limit, every line in one of them.
void TestLibrary::menuSplitKeepsMenusShort()
{
    const QStringList prefectures {"東京都", "東京都", "東京都", "神奈川県", "千葉県", "埼玉県"};
    QList<LineEntry> lines;
    for (int i = 0; i < 400; ++i) {
        LineEntry e;
        e.path = QStringLiteral("/l/%1.txt").arg(i);
        e.name = QStringLiteral("線%1").arg(i);
        if (i % 13 == 0) {
            e.group = QStringLiteral("hand"); // no metadata: grouped by its file name
        } else {
            // A line that starts in Yamanashi but is filed in kanto is listed in kanto's own.
            e.meta.prefectures = QStringList {i % 7 ? QString() : QStringLiteral("山梨県"),
                                              prefectures[i % prefectures.size()]};
            e.meta.prefectures.removeAll(QString());
            e.meta.operatorName
                = i % 2 ? QStringLiteral("大手") : QStringLiteral("会社%1").arg(i % 30);
            e.group = e.meta.operatorName;
        }
        lines.append(e);
    }
    SortByOperator(lines);
    QStringList seen;
    QStringList titles;
    std::function<void(const LineMenuNode&)> walk = [&](const LineMenuNode& node) {
        int rows = int(node.submenus.size() + node.lines.size());
        for (qsizetype i = 1; node.separators && i < node.lines.size(); ++i)
            rows += node.lines[i].group != node.lines[i - 1].group;
        QVERIFY2(rows <= kLineMenuLimit, qPrintable(node.title));
        for (const LineMenuNode& sub : node.submenus)
            walk(sub);
        for (const LineEntry& e : node.lines)
            seen << e.path;
    };
    const LineMenuNode root = SplitLineMenu(lines, QStringLiteral("kanto"));
    for (const LineMenuNode& sub : root.submenus)
        titles << sub.title;
    walk(root);
    QCOMPARE(titles, (QStringList {"埼玉県", "千葉県", "東京都", "神奈川県", "その他"}));
    QCOMPARE(seen.size(), lines.size());
    QCOMPARE(QSet<QString>(seen.begin(), seen.end()).size(), lines.size());
    // A region that fits stays one menu, in its order.
    QCOMPARE(SplitLineMenu(lines.mid(0, 20), QStringLiteral("kanto")).lines.size(), 20);
}

namespace {

// The test track, in 1e-5 degrees from 35°N 139°E: a line west to east, 西 (0) 中 (1000) 東
// (2000), with a junction 分岐 at 1500 and a branch north from it to 北; a branch 南 leaves at
// 中 itself.
TrackPoint tp(int lat, int lng)
{
    return {3500000 + lat, 13900000 + lng};
}
QList<TrackPoint> piece(std::initializer_list<std::pair<int, int>> points)
{
    QList<TrackPoint> out;
    for (const auto& [lat, lng] : points)
        out.append(tp(lat, lng));
    return out;
}
TrackStation station(const char* name, int lat, int lng)
{
    // A station's building stands some 40 m off its track.
    return {QString::fromUtf8(name), 35 + (lat + 40) * 1e-5, 139 + lng * 1e-5};
}
const QList<QList<TrackPoint>> kMain {piece({{0, 0}, {0, 500}, {0, 1000}}),
                                      piece({{0, 1000}, {0, 1500}}), piece({{0, 1500}, {0, 2000}})};
const QList<QList<TrackPoint>> kBranches {piece({{0, 1500}, {600, 1500}, {1000, 1500}}),
                                          piece({{0, 1000}, {-1000, 1000}})};
const TrackStation kWest = station("西", 0, 0), kMiddle = station("中", 0, 1000),
                   kEast = station("東", 0, 2000), kNorth = station("北", 1000, 1500),
                   kSouth = station("南", -1000, 1000), kFar = station("遠", 3000, 1000);

} // namespace

void TestLibrary::trackJoinsPairs_data()
{
    QTest::addColumn<QList<QList<TrackPoint>>>("pieces");
    QTest::addColumn<QList<TrackStation>>("stations");
    QTest::addColumn<bool>("loop");
    // Each pair as "from→to:J" (joined), ":N" (not joined) or ":O" (a station off the track).
    QTest::addColumn<QStringList>("expected");

    const auto all = kMain + kBranches;
    QTest::newRow("in running order")
        << all << QList {kWest, kMiddle, kEast} << false << QStringList {"西→中:J", "中→東:J"};
    QTest::newRow("through a junction that is no station")
        << all << QList {kWest, kMiddle, kNorth} << false << QStringList {"西→中:J", "中→北:J"};
    QTest::newRow("a branch listed after the main line")
        << all << QList {kWest, kMiddle, kEast, kSouth} << false
        << QStringList {"西→中:J", "中→東:J", "東→南:N"};
    QTest::newRow("a station listed out of order")
        << all << QList {kWest, kEast, kMiddle} << false << QStringList {"西→東:N", "東→中:J"};
    QTest::newRow("a station off the track")
        << all << QList {kWest, kFar, kEast} << false << QStringList {"西→遠:O", "遠→東:O"};
    // The second track of a double line drawn 15 m beside the first holds the stations too, so
    // that it is no way round them.
    QTest::newRow("tracks side by side")
        << kMain + QList<QList<TrackPoint>> {piece({{-15, 0}, {-15, 2000}})}
        << QList {kWest, kEast, kMiddle} << false << QStringList {"西→東:N", "東→中:J"};
    QTest::newRow("pieces drawn 20 m apart still meet")
        << QList {piece({{0, 0}, {0, 980}}), piece({{0, 1000}, {0, 2000}})} << QList {kWest, kEast}
        << false << QStringList {"西→東:J"};
    const QList<QList<TrackPoint>> square {
        piece({{0, 0}, {0, 2000}, {1000, 2000}, {1000, 0}, {0, 0}})};
    const QList loopStations {station("角1", 0, 0), station("角2", 0, 2000),
                              station("角3", 1000, 2000), station("角4", 1000, 0)};
    QTest::newRow("a loop closes")
        << square << loopStations << true
        << QStringList {"角1→角2:J", "角2→角3:J", "角3→角4:J", "角4→角1:J"};
    QTest::newRow("the same stations, no loop")
        << square << loopStations << false << QStringList {"角1→角2:J", "角2→角3:J", "角3→角4:J"};
}

void TestLibrary::trackJoinsPairs()
{
    QFETCH(QList<QList<TrackPoint>>, pieces);
    QFETCH(QList<TrackStation>, stations);
    QFETCH(bool, loop);
    QFETCH(QStringList, expected);
    const TrackCheck check = CheckTrack(pieces, stations, loop);
    QStringList got;
    for (const TrackPair& pair : check.pairs) {
        got << QStringLiteral("%1→%2:%3")
                   .arg(stations[pair.from].name, stations[pair.to].name)
                   .arg(QChar(pair.result == TrackPair::Joined         ? u'J'
                                  : pair.result == TrackPair::OffTrack ? u'O'
                                                                       : u'N'));
        if (pair.result == TrackPair::Joined) {
            // A way starts where its first station stands on the track and ends at the next.
            QVERIFY(DistanceToPath(stations[pair.from].latitude, stations[pair.from].longitude,
                                   {pair.path.first()})
                    < 60);
            QVERIFY(DistanceToPath(stations[pair.to].latitude, stations[pair.to].longitude,
                                   {pair.path.last()})
                    < 60);
        }
    }
    QCOMPARE(got, expected);
}

void TestLibrary::trackFileRoundTripAndDamage()
{
    TrackLine line;
    line.name = QStringLiteral("線");
    line.stationCount = 3;
    line.stationHash = TrackStationHash({"西", "中", "東"});
    TrackWay way;
    way.kind = TrackWay::Track;
    const QList<TrackPoint> path = piece({{0, 0}, {3, 250}, {0, 500}, {-700, 900}, {0, 1000}});
    const QList<double> weights = SimplificationWeights(path);
    // The ends are kept at every scale; the point 3 m off the straight is dropped even at the
    // finest level; the bend of some 700 m survives to the 256 m level.
    QCOMPARE(TrackLevelOf(weights.first()), kTrackLevels - 1);
    QCOMPARE(TrackLevelOf(weights[1]), -1);
    QCOMPARE(TrackLevelOf(weights[3]), 3);
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (TrackLevelOf(weights[i]) >= 0)
            way.points.append({path[i], quint8(TrackLevelOf(weights[i]))});
    }
    TrackWay straight;
    straight.kind = TrackWay::Straight;
    line.ways = {way, straight};
    const QByteArray bytes = WriteTrackFile(QStringLiteral("出典"), {line});

    TrackAtlas atlas;
    QString why;
    QVERIFY2(ReadTrackFile(bytes, &atlas, &why), qPrintable(why));
    QCOMPARE(atlas.attribution, QStringLiteral("出典"));
    const TrackLine back = atlas.lines.value(QStringLiteral("線"));
    QCOMPARE(back.stationHash, line.stationHash);
    QCOMPARE(back.ways.size(), 2);
    QCOMPARE(back.ways[0].points.size(), way.points.size());
    QCOMPARE(back.ways[0].points.last().at, tp(0, 1000));
    QCOMPARE(back.ways[1].kind, TrackWay::Straight);

    // Cut short anywhere, or with a count larger than the bytes that follow, it is refused
    // whole, never half read.
    for (qsizetype n = 0; n < bytes.size(); ++n)
        QVERIFY2(!ReadTrackFile(bytes.left(n), &atlas, &why) && atlas.lines.isEmpty(),
                 qPrintable(QString::number(n)));
    QByteArray huge = bytes;
    huge[8 + 1 + QByteArrayView("出典").size()] = char(0x7f); // the line count
    QVERIFY(!ReadTrackFile(huge, &atlas, &why));
    QVERIFY(!ReadTrackFile(bytes + "x", &atlas, &why));
}

void TestLibrary::checkerAlongTrack_data()
{
    QTest::addColumn<QStringList>("stations");
    QTest::addColumn<int>("change"); // 0 none, 1 the last way drawn through 中, 2 a way missing
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("every way right") << QStringList {"西", "中", "東"} << 0 << QStringList {};
    QTest::newRow("a way through a third station")
        << QStringList {"西", "中", "東"} << 1 << QStringList {"5:E:西 → 中:東 を通ります"};
    QTest::newRow("a pair no way joins")
        << QStringList {"西", "中", "東"} << 2 << QStringList {"6:E:中 → 東:つながっていません"};
    QTest::newRow("stations changed since the track was made")
        << QStringList {"西", "東", "中"} << 0 << QStringList {"1:E:駅が変わっています"};
}

void TestLibrary::checkerAlongTrack()
{
    QFETCH(QStringList, stations);
    QFETCH(int, change);
    QFETCH(QStringList, expected);
    const QList<TrackStation> made {kWest, kMiddle, kEast};
    const TrackCheck joined = CheckTrack(kMain + kBranches, made, false);
    TrackLine line;
    line.name = QStringLiteral("線");
    line.stationCount = 3;
    line.stationHash = TrackStationHash({"西", "中", "東"});
    for (const TrackPair& pair : joined.pairs) {
        TrackWay way;
        way.kind = TrackWay::Track;
        for (const TrackPoint& p : pair.path)
            way.points.append({p, 0});
        line.ways.append(way);
    }
    if (change == 1) // 西 → 中 drawn on past 東 and back
        line.ways[0].points.insert(1, {tp(0, 2000), 0});
    if (change == 2)
        line.ways[1] = TrackWay {};
    TrackAtlas atlas;
    atlas.lines.insert(line.name, line);

    QStringList text {"線", "出典: station_database (test)", "###"};
    for (const QString& name : stations) {
        const TrackStation& s = *std::find_if(
            made.cbegin(), made.cend(), [&](const TrackStation& m) { return m.name == name; });
        text << QStringLiteral("%1,ぴー,@%2/%3")
                    .arg(name)
                    .arg(s.latitude, 0, 'f', 6)
                    .arg(s.longitude, 0, 'f', 6);
    }
    const QString path = writeFile(dir_, QStringLiteral("track.txt"), toCp932(text.join("\r\n")));
    LineCheckOptions options;
    options.track = &atlas;
    // Only what the track says: a list out of order is also a turn on the map (another rule).
    QStringList got = described(CheckLineFile(path, options).problems);
    got.removeIf([](const QString& g) { return g.contains(u"折り返し"); });
    compareProblems(got, expected, 2);

    // An imported line the track does not hold at all is an error too.
    atlas.lines.clear();
    QVERIFY(described(CheckLineFile(path, options).problems)
                .join(u' ')
                .contains(u"線路の形のファイルにない"));
}

// The library read ahead after the window is up, a few files a turn: afterwards the finder's and
// 成績's list of every line reads no file again.
void TestLibrary::readAheadLeavesNothingToRead()
{
    FakeHost host;
    host.folder = dir_.filePath("ahead");
    QVERIFY(QDir().mkpath(host.folder + "/line/kanto"));
    for (int i = 0; i < 30; ++i)
        writeLineFile(host.folder + "/line/kanto", QString("l%1.txt").arg(i),
                      {QString("線%1").arg(i), "###", "東京,とうきょう", "神田,かんだ"});
    LineLibrary library;
    library.readAhead();
    QVERIFY(library.readingAhead());
    QTRY_VERIFY_WITH_TIMEOUT(!library.readingAhead(), 10000);
    QCOMPARE(library.wholeReads(), 30);
    QCOMPARE(library.all().size(), 30);
    QCOMPARE(library.wholeReads(), 30);
}

QTEST_GUILESS_MAIN(TestLibrary)
#include "test_library.moc"
