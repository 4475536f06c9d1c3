// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The line library made from a small database in station_database's own JSON form: the
// cleanup, each kind of correction, the regions, the metadata read back, the same bytes twice.

#include "linefile.h"
#include "lineimport.h"
#include "testfiles.h"
#include "textfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

namespace {

// Four open lines, a closed line and a closed station, as the database writes them.
const char kDatabase[] = R"json([
{"code": 1, "name": "テスト線(甲～乙)", "name_kana": "てすとせん(こう～おつ)", "closed": false,
 "company_code": 2, "color": "#9acd32", "symbol": "TS", "station_list": [
  {"code": 101, "original_name": "北３４条", "name_kana": "きた さんじゅうよじょう", "closed": false,
   "lat": 35.5, "lng": 139.25, "prefecture": 13, "numbering": ["TS01"]},
  {"code": 102, "original_name": "成田空港（成田第１ターミナル）",
   "name_kana": "なりたくうこう（なりただいいちたーみなる）", "closed": false,
   "lat": 35.76, "lng": 140.38, "prefecture": 12, "numbering": ["TS02", "KS44"]},
  {"code": 103, "original_name": "廃駅", "name_kana": "はいえき", "closed": true,
   "lat": 35, "lng": 140, "prefecture": 12},
  {"code": 104, "original_name": "西鉄福岡（天神）", "name_kana": "ふくおか(てんじん)", "closed": false,
   "lat": 35.1, "lng": 140.1, "prefecture": 12},
  {"code": 105, "original_name": "渋谷", "name_kana": "しぶ・や", "closed": false,
   "lat": 35.2, "lng": 140.2, "prefecture": 12}]},
{"code": 2, "name": "環状線", "name_kana": "かんじょうせん", "closed": false, "station_list": [
  {"code": 201, "original_name": "甲", "name_kana": "こう", "closed": false, "lat": 34, "lng": 135,
   "prefecture": 26},
  {"code": 202, "original_name": "乙", "name_kana": "おつ", "closed": false, "lat": 34, "lng": 135,
   "prefecture": 27},
  {"code": 203, "original_name": "丙", "name_kana": "へい", "closed": false, "lat": 34, "lng": 135,
   "prefecture": 27}]},
{"code": 3, "name": "テスト新幹線", "name_kana": "てすとしんかんせん", "closed": false,
 "station_list": [{"code": 301, "original_name": "甲", "name_kana": "こう", "closed": false,
   "lat": 40, "lng": 140, "prefecture": 2}]},
{"code": 4, "name": "札幌/線", "name_kana": "さっぽろせん", "closed": false, "station_list": [
  {"code": 401, "original_name": "丁", "name_kana": "テイ", "closed": false, "lat": 43, "lng": 141,
   "prefecture": 1}]},
{"code": 5, "name": "廃線", "name_kana": "はいせん", "closed": true, "station_list": [
  {"code": 501, "original_name": "戊", "name_kana": "ぼ", "closed": false, "lat": 43, "lng": 141,
   "prefecture": 1}]}
])json";

ImportInput fixture(const QString& corrections, QList<ImportProblem>* problems)
{
    ImportInput input;
    for (const QJsonValue& v : QJsonDocument::fromJson(kDatabase).array())
        input.lines.append(v.toObject());
    input.companies.insert(2, QStringLiteral("テスト鉄道"));
    input.tag = QStringLiteral("v20260529");
    QString table = corrections;
    // "!" stands for the "|" inside a branch row's value.
    table.replace(u'|', u'\t').replace(u'!', u'|');
    input.corrections = ParseCorrections(table, problems);
    return input;
}

// The stations of a file and its free text, as the game reads them.
LineFile readBack(const QByteArray& bytes)
{
    QTemporaryDir dir;
    TextFile file;
    if (!file.open(writeFile(dir, QStringLiteral("line.txt"), bytes)))
        return {};
    return ParseLineFile(file);
}

QStringList stationsOf(const ImportResult& result, const QString& path)
{
    QStringList lines;
    for (const ImportFile& f : result.files) {
        if (f.path == path) {
            for (const LineFileStation& s : readBack(f.bytes).stations)
                lines << s.raw;
        }
    }
    return lines;
}

QStringList problemsOf(const QList<ImportProblem>& problems)
{
    QStringList out;
    for (const ImportProblem& p : problems)
        out << p.where + QStringLiteral(": ") + p.what;
    return out;
}

const QString kTest = QStringLiteral("kanto/テスト線(甲～乙).txt");
const QString kSa = QStringLiteral("#TS01 @35.500000/139.250000");
const QString kNarita = QStringLiteral("成田空港,なりたくうこう,#TS02 #KS44 @35.760000/140.380000 "
                                       "成田第1ターミナル");
const QString kFukuoka = QStringLiteral("@35.100000/140.100000 天神");
const QString kShibuya = QStringLiteral("渋谷,しぶや,@35.200000/140.200000");

} // namespace

class TestLineImport : public QObject
{
    Q_OBJECT
private slots:
    void corrections_data();
    void corrections();
    void metadataReadsBack();
    void trackOfEachLine_data();
    void trackOfEachLine();
    void sameBytesAndLibraryShape();
};

void TestLineImport::corrections_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("stations"); // as written; empty: the file is not written
    QTest::addColumn<QStringList>("problems"); // words each problem holds, in order

    const QStringList cleaned {QString("北34条,きたさんじゅうよじょう,") + kSa, kNarita,
                               QString("西鉄福岡,ふくおか,") + kFukuoka, kShibuya};
    QTest::newRow("cleanup") << QString() << kTest << cleaned
                             << QStringList {"札幌/線:テイ:ひらがな"};
    QStringList fixed = cleaned;
    fixed[2] = QString("西鉄福岡,にしてつふくおか,") + kFukuoka;
    QTest::newRow("reading") << "reading|テスト線(甲～乙)|西鉄福岡|にしてつふくおか|page" << kTest
                             << fixed << QStringList {"テイ"};
    fixed = cleaned;
    fixed[1] = "成田第1ターミナル,なりたくうこう,#TS02 #KS44 @35.760000/140.380000";
    QTest::newRow("name, its aside gone")
        << "name|*|成田空港|成田第1ターミナル|page" << kTest << fixed << QStringList {"テイ"};
    fixed = cleaned;
    fixed[0] = "北34条,きたさんじゅうよじょう,@35.500000/139.250000";
    fixed[1] = "成田空港,なりたくうこう,#KS41 #TS2A @35.760000/140.380000 成田第1ターミナル";
    QTest::newRow("numbers: replaced, and none")
        << "numbers|テスト線(甲～乙)|成田空港|KS41 TS2A|page\n"
           "numbers|テスト線(甲～乙)|北34条|-|page\nnumbers|*|渋谷|#X1|page"
        << kTest << fixed << QStringList {"corrections.tsv:3:駅番号", "テイ"};
    QTest::newRow("drop, insert first and after")
        << "drop|テスト線(甲～乙)|渋谷||page\n"
           "insert|テスト線(甲～乙)|^|始,はじめ,#TS00|page\n"
           "insert|テスト線(甲～乙)|成田空港|次,つぎ|page\n"
           "insert|テスト線(甲～乙)|成田空港|次の次,つぎのつぎ|page"
        << kTest << QStringList {"始,はじめ,#TS00", cleaned[0],          kNarita,
                                 "次,つぎ",         "次の次,つぎのつぎ", cleaned[2]}
        << QStringList {"テイ"};
    QTest::newRow("skip, and rows that match nothing")
        << "skip|札幌/線|||page\nskip|テスト線(甲～乙)|||page\n"
           "reading|*|無い駅|ない|page\ndrop|無い線|甲||page\nbogus|x|y|z|page\nname|*|甲|乙|\n"
           "branch|無い線|甲|乙!丙|page"
        << kTest << QStringList {}
        << QStringList {"corrections.tsv:5:知らない種類", "corrections.tsv:6:理由",
                        "corrections.tsv:7:支線", "corrections.tsv:3:当てはまる",
                        "corrections.tsv:4:当てはまる"};
    // A branch the database lists inside its line: the run cut out, a line of its own from the
    // junction to the rejoin station, the rest of the line closed up.
    const QString branch
        = "branch|テスト線(甲～乙)|成田空港|西鉄福岡!北34条!渋谷!テスト線(北34条～渋谷)|page";
    QTest::newRow("branch: its own line")
        << branch << "kanto/テスト線(北34条～渋谷).txt" << cleaned << QStringList {"テイ"};
    QTest::newRow("branch: what is left")
        << branch << kTest << QStringList {cleaned[0], cleaned[3]} << QStringList {"テイ"};
    QTest::newRow("branch listed from its far end, run into the station it joins")
        << "branch|テスト線(甲～乙)|西鉄福岡|渋谷!!北34条!テスト線(渋谷～北34条)|page"
        << "kanto/テスト線(渋谷～北34条).txt" << QStringList {cleaned[2], cleaned[3], cleaned[0]}
        << QStringList {"テイ"};
    QTest::newRow("branch without its junction is not cut")
        << "branch|テスト線(甲～乙)|成田空港|成田空港!無い駅!!支線|page" << kTest << cleaned
        << QStringList {"支線:無い駅", "テイ"};
    // A line under a new name: the file follows the name, the old file is no longer made.
    const QString rename = "rename|テスト線(甲～乙)||テスト本線|page";
    QTest::newRow("rename: the new file")
        << rename << "kanto/テスト本線.txt" << cleaned << QStringList {"テイ"};
    QTest::newRow("rename: no file under the old name")
        << rename << kTest << QStringList {} << QStringList {"テイ"};
    QTest::newRow("suspended out of order or malformed; a name another line has")
        << "suspended|テスト線(甲～乙)||成田空港～渋谷 2024-10 脱線事故|page\n"
           "suspended|テスト線(甲～乙)||渋谷～成田空港 2024-10|page\n"
           "suspended|*||甲～乙 2024|page\nrename|環状線||テスト新幹線|page\n"
           "rename|*||全線|page"
        << kTest << cleaned
        << QStringList {"corrections.tsv:3:運休区間", "corrections.tsv:5:路線名",
                        "テスト線:渋谷～成田空港:順", "テイ", "テスト新幹線:同じ名前"};
}

void TestLineImport::corrections()
{
    QFETCH(QString, table);
    QFETCH(QString, path);
    QFETCH(QStringList, stations);
    QFETCH(QStringList, problems);
    QList<ImportProblem> found;
    const ImportResult result = ImportLines(fixture(table, &found));
    found += result.problems;
    QCOMPARE(stationsOf(result, path), stations);
    const QStringList got = problemsOf(found);
    QVERIFY2(got.size() == problems.size(), qPrintable(got.join(u" | ")));
    for (qsizetype i = 0; i < got.size(); ++i) {
        for (const QString& word : problems[i].split(u':'))
            QVERIFY2(got[i].contains(word), qPrintable(got[i]));
    }
}

void TestLineImport::trackOfEachLine_data()
{
    // The database's track of テスト線 as one piece through its stations in this order.
    QTest::addColumn<QStringList>("drawn");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QList<int>>("kinds"); // each pair's TrackWay::Kind
    QTest::addColumn<QStringList>("problems"); // words each of テスト線's problems holds
    const QStringList order {"北34条", "成田空港", "西鉄福岡", "渋谷"};
    QTest::newRow("drawn as listed") << order << QString() << QList {1, 1, 1} << QStringList {};
    const QStringList swapped {"北34条", "西鉄福岡", "成田空港", "渋谷"};
    QTest::newRow("drawn in another order") << swapped << QString() << QList {0, 1, 0}
                                            << QStringList {"北34条 → 成田空港:つながっていません",
                                                            "西鉄福岡 → 渋谷:つながっていません"};
    QTest::newRow("a track row draws one pair straight; a stale one is reported")
        << swapped
        << "track|テスト線(甲～乙)|北34条|成田空港|page\ntrack|テスト線(甲～乙)|渋谷|北34条|page"
        << QList {2, 1, 0}
        << QStringList {"西鉄福岡 → 渋谷:つながっていません", "corrections.tsv:2:当てはまる"};
}

void TestLineImport::trackOfEachLine()
{
    QFETCH(QStringList, drawn);
    QFETCH(QString, table);
    QFETCH(QList<int>, kinds);
    QFETCH(QStringList, problems);
    const QHash<QString, TrackPoint> at {{"北34条", {3550000, 13925000}},
                                         {"成田空港", {3576000, 14038000}},
                                         {"西鉄福岡", {3510000, 14010000}},
                                         {"渋谷", {3520000, 14020000}}};
    QList<TrackPoint> piece;
    for (const QString& name : drawn)
        piece.append(at.value(name));
    QList<ImportProblem> found;
    ImportInput input = fixture(table, &found);
    input.tracks.insert(1, {piece});
    const ImportResult result = ImportLines(input);
    found += result.problems;
    const auto line
        = std::find_if(result.tracks.cbegin(), result.tracks.cend(),
                       [](const TrackLine& l) { return l.name.startsWith(u"テスト線"); });
    QVERIFY(line != result.tracks.cend());
    QList<int> got;
    for (const TrackWay& way : line->ways)
        got.append(int(way.kind));
    QCOMPARE(got, kinds);
    // A through service written by hand over テスト線, stopping at two of its stations: placed
    // on that line's track, and joined past the stations it does not stop at.
    QList<ImportProblem> through;
    const TrackLine service
        = ThroughServiceTrack(QStringLiteral("直通"), {"北34条", "成田空港", "無い駅"}, false,
                              {QStringLiteral("テスト線(甲～乙)")}, input, result, &through);
    QCOMPARE(service.ways.size(), 2);
    QCOMPARE(service.ways[0].kind, TrackWay::Track);
    QCOMPARE(service.ways[1].kind, TrackWay::Missing);
    QVERIFY(problemsOf(through).join(u' ').contains(u"無い駅 は @経由"));
    QStringList mine = problemsOf(found).filter(QRegularExpression("テスト線|corrections"));
    QVERIFY2(mine.size() == problems.size(), qPrintable(mine.join(u" | ")));
    for (qsizetype i = 0; i < mine.size(); ++i) {
        for (const QString& word : problems[i].split(u':'))
            QVERIFY2(mine[i].contains(word), qPrintable(mine[i]));
    }
}

void TestLineImport::metadataReadsBack()
{
    QList<ImportProblem> problems;
    const ImportResult result = ImportLines(
        fixture("loop|環状線|||page\n"
                "branch|テスト線(甲～乙)|渋谷|渋谷!西鉄福岡!!テスト線(西鉄福岡～渋谷)|page\n"
                "operator|テスト線(西鉄福岡～渋谷)||別の鉄道|page\n"
                "former|テスト線(西鉄福岡～渋谷)||渋谷支線|page\n"
                "former|テスト線(西鉄福岡～渋谷)||渋谷線|page\n"
                "suspended|テスト線(甲～乙)||成田空港～西鉄福岡 2024-10 脱線事故|page\n"
                "rename|環状線||環状本線,かんじょうほんせん|page",
                &problems));
    QVERIFY2(problems.isEmpty(), qPrintable(problemsOf(problems).join(u" | ")));
    QMap<QString, LineFile> files;
    for (const ImportFile& f : result.files)
        files.insert(f.path, readBack(f.bytes));

    const LineFile test = files.value(kTest);
    QCOMPARE(test.name, QStringLiteral("テスト線(甲～乙)"));
    QVERIFY(!test.utf8 && !test.lfLineEnds);
    const LineMeta meta = ParseLineMeta(test.freeText);
    QVERIFY(meta.problems.isEmpty() && meta.prose.isEmpty() && !meta.loop);
    QCOMPARE(meta.reading, QStringLiteral("てすとせん"));
    QCOMPARE(meta.operatorName, QStringLiteral("テスト鉄道"));
    QCOMPARE(meta.colour, QStringLiteral("#9ACD32"));
    QCOMPARE(meta.symbol, QStringLiteral("TS"));
    QCOMPARE(meta.section, QStringLiteral("甲～乙"));
    QCOMPARE(meta.prefectures, QStringList({"東京都", "千葉県"}));
    QCOMPARE(meta.references, QStringList {ImportSourceLine("v20260529").mid(4)});
    QVERIFY(IsImportedLine(meta));
    const StationMeta narita = ParseStationExtra(test.stations[1].fields[2]);
    QCOMPARE(narita.numbers, QStringList({"TS02", "KS44"}));
    QVERIFY(narita.hasPosition);
    QCOMPARE(narita.latitude, 35.76);
    QCOMPARE(narita.longitude, 140.38);
    QCOMPARE(narita.note, QStringLiteral("成田第1ターミナル"));

    // A loop: marked, its section round from the first station, no operator known.
    QCOMPARE(SuspendedText(meta), QStringLiteral("成田空港～西鉄福岡 運休中（2024年10月から）"));
    QCOMPARE(meta.suspended.value(0).reason, QStringLiteral("脱線事故"));

    // A loop, renamed: its old name kept for what a learner did under it.
    const LineFile loop = files.value(QStringLiteral("kinki/環状本線.txt"));
    QVERIFY(loop.loop);
    QCOMPARE(loop.name, QStringLiteral("環状本線"));
    const LineMeta loopMeta = ParseLineMeta(loop.freeText);
    QCOMPARE(loopMeta.formerNames, QStringList {"環状線"});
    QCOMPARE(loopMeta.reading, QStringLiteral("かんじょうほんせん"));
    QCOMPARE(loopMeta.section, QStringLiteral("甲～甲"));
    QCOMPARE(loopMeta.prefectures, QStringList({"京都府", "大阪府"}));
    QVERIFY(loopMeta.operatorName.isEmpty() && loopMeta.problems.isEmpty());

    // A branch: the parent's colour and symbol, its own section, operator and former names.
    const LineMeta branch
        = ParseLineMeta(files.value(QStringLiteral("kanto/テスト線(西鉄福岡～渋谷).txt")).freeText);
    QVERIFY(branch.problems.isEmpty() && !branch.loop);
    QCOMPARE(branch.section, QStringLiteral("西鉄福岡～渋谷"));
    QCOMPARE(branch.operatorName, QStringLiteral("別の鉄道"));
    QCOMPARE(branch.colour + branch.symbol, QStringLiteral("#9ACD32TS"));
    QCOMPARE(branch.formerNames, QStringList({"渋谷支線", "渋谷線"}));
    QVERIFY(meta.formerNames.isEmpty());
}

void TestLineImport::sameBytesAndLibraryShape()
{
    QList<ImportProblem> problems;
    ImportInput input = fixture(QString(), &problems);
    const ImportResult first = ImportLines(input);
    std::reverse(input.lines.begin(), input.lines.end());
    const ImportResult second = ImportLines(input);
    QCOMPARE(second.files.size(), first.files.size());
    QStringList paths;
    for (qsizetype i = 0; i < first.files.size(); ++i) {
        QCOMPARE(second.files[i].path, first.files[i].path);
        QCOMPARE(second.files[i].bytes, first.files[i].bytes);
        paths << first.files[i].path;
    }
    // The closed line is left out; "/" in a name becomes "／"; a 新幹線 has its own folder;
    // 大阪府 has more stations than 京都府; of prefectures as many, the one reached first.
    QCOMPARE(paths,
             QStringList({"hokkaido/札幌／線.txt", "kanto/テスト線(甲～乙).txt", "kinki/環状線.txt",
                          "shinkansen/テスト新幹線.txt"}));
    QCOMPARE(LineRegion("線", {23, 24}), QStringLiteral("chubu"));
    QCOMPARE(LineRegion("線", {24, 23}), QStringLiteral("kinki"));
    QCOMPARE(LineRegion("線", {15, 14, 14, 15}), QStringLiteral("chubu"));
    QCOMPARE(LineRegion("線", {40, 47, 47}), QStringLiteral("kyushu"));
    QCOMPARE(LineRegion("線", {34, 28, 34}), QStringLiteral("chugoku-shikoku"));
    QString note;
    QCOMPARE(CleanStationName("獨協大学前〈草加松原〉", &note), QStringLiteral("獨協大学前"));
    QCOMPARE(note, QStringLiteral("草加松原"));
    QCOMPARE(CleanStationName("(仮)", &note), QStringLiteral("(仮)"));
    QCOMPARE(CleanReading("どっきょう・だいがくまえ〈そうかまつばら〉　"),
             QStringLiteral("どっきょうだいがくまえ"));
}

QTEST_GUILESS_MAIN(TestLineImport)
#include "test_lineimport.moc"
