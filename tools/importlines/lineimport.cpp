// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lineimport.h"
#include "codec.h"
#include "lib_util.h"
#include "linecheck.h"
#include "linefile.h"
#include "lineimport_p.h"

#include <QJsonArray>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

using lineimport::Line;
using lineimport::Station;

namespace {

constexpr const char16_t* kPrefectures[] = {
    u"北海道", u"青森県", u"岩手県", u"宮城県", u"秋田県", u"山形県",   u"福島県", u"茨城県",
    u"栃木県", u"群馬県", u"埼玉県", u"千葉県", u"東京都", u"神奈川県", u"新潟県", u"富山県",
    u"石川県", u"福井県", u"山梨県", u"長野県", u"岐阜県", u"静岡県",   u"愛知県", u"三重県",
    u"滋賀県", u"京都府", u"大阪府", u"兵庫県", u"奈良県", u"和歌山県", u"鳥取県", u"島根県",
    u"岡山県", u"広島県", u"山口県", u"徳島県", u"香川県", u"愛媛県",   u"高知県", u"福岡県",
    u"佐賀県", u"長崎県", u"熊本県", u"大分県", u"宮崎県", u"鹿児島県", u"沖縄県",
};

bool isOpener(QChar c)
{
    return c == u'(' || c == u'（' || c == u'〈';
}
bool isCloser(QChar c)
{
    return c == u')' || c == u'）' || c == u'〉';
}

// Full-width digits and Latin letters as ASCII; everything else as it is.
QString narrowAlphanumerics(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if ((u >= u'０' && u <= u'９') || (u >= u'Ａ' && u <= u'Ｚ') || (u >= u'ａ' && u <= u'ｚ'))
            c = QChar(char16_t(u - 0xFEE0));
    }
    return out;
}

QString fileNameOf(const QString& lineName)
{
    QString name = lineName;
    name.replace(u'/', u'／');
    return name + QStringLiteral(".txt");
}

// The parenthesised part of the line name that names a section (東京～熱海), as signed.
QString sectionInName(const QString& lineName)
{
    static const QRegularExpression re(QStringLiteral("[(（]([^()（）]*[～〜][^()（）]*)[)）]"));
    QString section;
    for (const auto& m : re.globalMatch(lineName))
        section = m.captured(1);
    return narrowAlphanumerics(section);
}

Station stationFrom(const QJsonObject& o)
{
    Station s;
    s.name = CleanStationName(o.value(u"original_name").toString(), &s.meta.note);
    s.source = s.name;
    s.reading = CleanReading(o.value(u"name_kana").toString());
    for (const QJsonValue& n : o.value(u"numbering").toArray())
        s.meta.numbers.append(n.toString());
    if (o.contains(u"lat") && o.contains(u"lng")) {
        s.meta.hasPosition = true;
        s.meta.latitude = o.value(u"lat").toDouble();
        s.meta.longitude = o.value(u"lng").toDouble();
    }
    s.prefecture = o.value(u"prefecture").toInt();
    s.code = o.value(u"code").toInteger();
    return s;
}

Line lineFrom(const QJsonObject& o, const QHash<int, QString>& companies)
{
    Line line;
    line.code = o.value(u"code").toInteger();
    line.name = o.value(u"name").toString();
    line.reading = CleanReading(o.value(u"name_kana").toString());
    if (o.contains(u"company_code"))
        line.company = companies.value(o.value(u"company_code").toInt());
    if (IsLineColour(o.value(u"color").toString()))
        line.colour = o.value(u"color").toString().toUpper();
    line.symbol = o.value(u"symbol").toString();
    for (const QJsonValue& v : o.value(u"station_list").toArray()) {
        const QJsonObject s = v.toObject();
        if (!s.value(u"closed").toBool())
            line.stations.append(stationFrom(s));
    }
    return line;
}

QStringList prefecturesMet(const Line& line)
{
    QStringList names;
    for (const Station& s : line.stations) {
        const QString name = PrefectureName(s.prefecture);
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

QStringList freeTextOf(const Line& line, const QString& tag)
{
    QStringList text;
    const auto add = [&text](const char16_t* key, const QString& value) {
        if (!value.isEmpty())
            text.append(QStringLiteral("@%1: %2").arg(QString::fromUtf16(key), value));
    };
    add(u"読み", line.reading);
    add(u"事業者", line.company);
    add(u"色", line.colour);
    add(u"記号", line.symbol);
    QString section = sectionInName(line.name);
    if (section.isEmpty() && !line.stations.isEmpty())
        section = line.stations.front().name + u'～'
            + (line.loop ? line.stations.front() : line.stations.back()).name;
    add(u"区間", section);
    add(u"都道府県", prefecturesMet(line).join(u' '));
    if (line.loop)
        text.append(QString::fromUtf16(kLineLoopMark));
    for (const SuspendedSection& s : line.suspended)
        add(u"運休", QStringLiteral("%1～%2 %3 %4").arg(s.from, s.to, s.since, s.reason).trimmed());
    for (const QString& former : line.formerNames)
        add(u"旧名", former);
    text.append(ImportSourceLine(tag));
    return text;
}

// The characters of text that code page 932 has no form for.
QString unencodable(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString one = text.mid(i, n);
        if (!EncodeText(one, "CP932") && !out.contains(one))
            out += one;
        i += n - 1;
    }
    return out;
}

// Problems of one station that the game or the checker would find; false when the file cannot
// be written at all.
bool checkStation(const Station& s, QSet<QString>& seen, const QString& where,
                  QList<ImportProblem>& problems)
{
    const auto problem = [&](const QString& what) {
        problems.append({where, QStringLiteral("%1: %2").arg(s.name, what)});
    };
    if (s.name.isEmpty())
        problem(QStringLiteral("駅名がありません"));
    if (seen.contains(s.name))
        problem(QStringLiteral("同じ駅が2度あります"));
    seen.insert(s.name);
    if (!IsHiraganaReading(s.reading))
        problem(QStringLiteral("読み「%1」がひらがなだけではありません").arg(s.reading));
    for (const QString& field : {s.name, s.reading}) {
        if (field.contains(u',') || field.contains(u';'))
            problem(QStringLiteral("「,」か「;」が入っています: %1").arg(field));
    }
    const QString extra = FormatStationExtra(s.meta);
    const StationMeta back = ParseStationExtra(extra);
    if (back.numbers != s.meta.numbers || back.hasPosition != s.meta.hasPosition
        || back.note != FormatStationExtra({{}, false, 0, 0, s.meta.note}))
        problem(QStringLiteral("付記「%1」が読み戻せません").arg(extra));
    const QString bad = unencodable(s.name + s.reading + extra);
    if (!bad.isEmpty())
        problem(QStringLiteral("CP932 で書けない文字「%1」があります").arg(bad));
    return bad.isEmpty();
}

// The file's bytes, or nothing when it cannot be written.
std::optional<QByteArray> fileOf(const Line& line, const QString& tag,
                                 QList<ImportProblem>& problems)
{
    bool writable = !line.stations.isEmpty() && line.stations.size() <= kMaxLineStations;
    if (line.stations.isEmpty())
        problems.append({line.name, QStringLiteral("駅がありません")});
    if (line.stations.size() > kMaxLineStations)
        problems.append({line.name, QStringLiteral("駅が %1 あります").arg(line.stations.size())});
    const QString badName = unencodable(line.name + line.reading + line.company);
    if (!badName.isEmpty()) {
        problems.append(
            {line.name,
             QStringLiteral("路線名か読みか事業者に CP932 で書けない文字「%1」があります")
                 .arg(badName)});
        writable = false;
    }
    QStringList text {line.name};
    text += freeTextOf(line, tag);
    text.append(QString::fromLatin1(kLineFileMarker));
    QSet<QString> seen;
    for (const Station& s : line.stations) {
        writable = checkStation(s, seen, line.name, problems) && writable;
        const QString extra = FormatStationExtra(s.meta);
        text.append(s.name + u',' + s.reading + (extra.isEmpty() ? QString() : u',' + extra));
    }
    if (!writable)
        return std::nullopt;
    return EncodeText(text.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), "CP932");
}

} // namespace

QString CleanStationName(const QString& original, QString* note)
{
    QString name = TrimFieldBlanks(narrowAlphanumerics(original));
    note->clear();
    if (name.isEmpty() || !isCloser(name.back()))
        return name;
    int depth = 0;
    for (qsizetype i = name.size() - 1; i > 0; --i) {
        depth += isCloser(name[i]) ? 1 : isOpener(name[i]) ? -1 : 0;
        if (depth == 0) {
            *note = TrimFieldBlanks(QStringView(name).mid(i + 1, name.size() - i - 2));
            return TrimFieldBlanks(QStringView(name).left(i));
        }
    }
    return name;
}

QString CleanReading(const QString& kana)
{
    QString out;
    int depth = 0;
    for (const QChar c : kana) {
        if (isOpener(c))
            ++depth;
        else if (isCloser(c))
            depth = std::max(0, depth - 1);
        else if (depth == 0 && c != u'・' && c != u' ' && c != u'\u3000')
            out += c;
    }
    return out;
}

QString PrefectureName(int code)
{
    return code >= 1 && code <= 47 ? QString::fromUtf16(kPrefectures[code - 1]) : QString();
}

QString LineRegion(const QString& lineName, const QList<int>& prefectures)
{
    if (lineName.contains(QStringLiteral("新幹線")))
        return QStringLiteral("shinkansen");
    QMap<int, int> count;
    for (int p : prefectures) {
        if (p >= 1 && p <= 47)
            ++count[p];
    }
    // The most stations; of prefectures as many, the one the line reaches first.
    int best = 0;
    for (int p : prefectures) {
        if (count.value(p) > count.value(best))
            best = p;
    }
    struct Range
    {
        int last;
        const char* region;
    };
    static constexpr Range kRegions[] = {
        {1, "hokkaido"}, {7, "tohoku"},           {14, "kanto"},  {23, "chubu"},
        {30, "kinki"},   {39, "chugoku-shikoku"}, {47, "kyushu"},
    };
    for (const Range& r : kRegions) {
        if (best >= 1 && best <= r.last)
            return QString::fromLatin1(r.region);
    }
    return QString();
}

QString ImportSourceLine(const QString& tag)
{
    // The licence asks for its address and for a word on the changes made.
    return QStringLiteral("出典: %1 %2 (%3) CC BY-SA 4.0 "
                          "(https://creativecommons.org/licenses/by-sa/4.0/)。"
                          "路線ファイルの形に変換し、tools/importlines/corrections.tsv のとおり"
                          "訂正した。")
        .arg(QString::fromUtf16(kImportSourceName), tag, QString::fromUtf16(kImportSourceUrl));
}

namespace {

// The line's way along the track from each station to the next. A pair the track does not join
// is a problem, unless a track row says the database's drawing is wrong there: then it is drawn
// straight.
// A line's stations on the track: on its own, and where some of its trains run on through
// another line's track (a subway continuing over a private railway, a branch's trains into the
// main line's terminus), on the track of the lines that stop at both ends of such a pair. Only the
// pairs with a station off the line's own track are taken from the wider search, so that another
// line's track never joins two stations that the line's own track does not.
TrackCheck checkWithNeighbours(const ImportedLine& line, const ImportInput& input,
                               const QHash<qint64, QList<qint64>>& linesAt)
{
    const QList<QList<TrackPoint>> own = input.tracks.value(line.code);
    TrackCheck check = CheckTrack(own, line.stations, line.loop);
    if (check.offTrack.isEmpty())
        return check;
    QList<qint64> others;
    for (const TrackPair& pair : check.pairs) {
        if (pair.result != TrackPair::OffTrack)
            continue;
        // The lines that stop at both stations; failing those (a stop only this line's trains
        // make, on another line's track), the lines at either.
        const QList<qint64> atFrom = linesAt.value(line.stationCodes[pair.from]);
        const QList<qint64> atTo = linesAt.value(line.stationCodes[pair.to]);
        QList<qint64> both;
        for (qint64 code : atFrom) {
            if (code != line.code && atTo.contains(code))
                both.append(code);
        }
        for (qint64 code : both.isEmpty() ? atFrom + atTo : both) {
            if (code != line.code && !others.contains(code))
                others.append(code);
        }
    }
    std::sort(others.begin(), others.end());
    QList<QList<TrackPoint>> pieces = own;
    for (qint64 code : others)
        pieces += input.tracks.value(code);
    const TrackCheck wide = CheckTrack(pieces, line.stations, line.loop);
    for (qsizetype i = 0; i < check.pairs.size(); ++i) {
        if (check.pairs[i].result == TrackPair::OffTrack)
            check.pairs[i] = wide.pairs[i];
    }
    check.offTrack = wide.offTrack;
    return check;
}

TrackLine trackOf(const ImportedLine& line, const TrackCheck& check, bool hasTrack,
                  const QList<Correction>& corrections, QList<bool>& used,
                  QList<ImportProblem>& problems)
{
    TrackLine track;
    track.name = line.name;
    QStringList names;
    for (const TrackStation& s : line.stations)
        names.append(s.name);
    track.stationCount = int(names.size());
    track.stationHash = TrackStationHash(names);
    if (!hasTrack)
        problems.append({line.name, QStringLiteral("データベースに線路の形がありません")});
    for (int s : check.offTrack) {
        if (hasTrack)
            problems.append({line.name,
                             QStringLiteral("%1 が線路から %2 m より離れています")
                                 .arg(names[s])
                                 .arg(kTrackTolerance)});
    }
    for (const TrackPair& pair : check.pairs) {
        TrackWay way;
        for (qsizetype i = 0; i < corrections.size(); ++i) {
            const Correction& c = corrections[i];
            if (c.kind == CorrectionKind::Track && c.line == line.name
                && c.station == names[pair.from] && c.value == names[pair.to]) {
                used[i] = true;
                way.kind = TrackWay::Straight;
            }
        }
        if (way.kind != TrackWay::Straight && pair.result == TrackPair::Joined) {
            way.kind = TrackWay::Track;
            const QList<double> weights = SimplificationWeights(pair.path);
            for (qsizetype i = 0; i < pair.path.size(); ++i) {
                const int level = TrackLevelOf(weights[i]);
                if (level >= 0)
                    way.points.append({pair.path[i], quint8(level)});
            }
        } else if (way.kind != TrackWay::Straight && pair.result == TrackPair::NotJoined) {
            problems.append({line.name, DescribeTrackPair(pair, line.stations)});
        }
        track.ways.append(std::move(way));
    }
    return track;
}

} // namespace

ImportResult ImportLines(const ImportInput& input)
{
    ImportResult result;
    QList<Line> lines;
    for (const QJsonObject& o : input.lines) {
        if (!o.value(u"closed").toBool())
            lines.append(lineFrom(o, input.companies));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& a, const Line& b) { return a.name < b.name; });
    QList<bool> used(input.corrections.size(), false);
    QList<Line> shipped; // a branch cut out of a line right after it
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Line& line = lines[i];
        if (i > 0 && lines[i - 1].name == line.name)
            result.problems.append({line.name, QStringLiteral("同じ名前の路線がほかにもあります")});
        if (!lineimport::ApplyCorrections(line, input.corrections, used, result.problems))
            continue;
        const QList<Line> branches
            = lineimport::SplitBranches(line, input.corrections, used, result.problems);
        shipped.append(line);
        shipped += branches;
    }
    QMap<QString, QString> paths; // path → line name, to find two lines in one file
    QSet<QString> names; // a renamed line must not take another's name
    QMap<QString, std::pair<ImportFile, ImportedLine>> out;
    for (Line& line : shipped) {
        lineimport::ApplyLineRows(line, input.corrections, used, result.problems);
        if (names.contains(line.name)) {
            result.problems.append({line.name, QStringLiteral("同じ名前の路線がほかにもあります")});
            continue;
        }
        names.insert(line.name);
        ImportedLine imported;
        imported.name = line.name;
        QList<int> prefectures;
        for (const Station& s : line.stations) {
            prefectures.append(s.prefecture);
            imported.stationCodes.append(s.code);
            imported.stations.append({s.name, s.meta.latitude, s.meta.longitude});
        }
        imported.code = line.code;
        imported.loop = line.loop;
        imported.region = LineRegion(line.name, prefectures);
        imported.prefectures = prefecturesMet(line);
        imported.path = imported.region + u'/' + fileNameOf(line.name);
        if (imported.region.isEmpty()) {
            result.problems.append({line.name, QStringLiteral("どの都道府県の路線かわかりません")});
            continue;
        }
        const std::optional<QByteArray> bytes = fileOf(line, input.tag, result.problems);
        if (!bytes)
            continue;
        if (paths.contains(imported.path)) {
            result.problems.append({line.name,
                                    QStringLiteral("%1 と同じファイル %2 になります")
                                        .arg(paths.value(imported.path), imported.path)});
            continue;
        }
        paths.insert(imported.path, line.name);
        out.insert(imported.path, {{imported.path, *bytes}, imported});
    }
    // The lines each station is on, by the database's codes.
    QHash<qint64, QList<qint64>> linesAt;
    for (const QJsonObject& o : input.lines) {
        const qint64 code = o.value(u"code").toInteger();
        for (const QJsonValue& v : o.value(u"station_list").toArray())
            linesAt[v.toObject().value(u"code").toInteger()].append(code);
    }
    for (const auto& [file, line] : out) {
        result.files.append(file);
        result.lines.append(line);
        if (!input.tracks.isEmpty())
            result.tracks.append(trackOf(line, checkWithNeighbours(line, input, linesAt),
                                         !input.tracks.value(line.code).isEmpty(),
                                         input.corrections, used, result.problems));
    }
    for (qsizetype i = 0; i < input.corrections.size(); ++i) {
        const Correction& c = input.corrections[i];
        if (!used[i])
            result.problems.append(
                {QStringLiteral("corrections.tsv:%1").arg(c.row),
                 QStringLiteral("当てはまる路線・駅がありません: %1 %2 %3")
                     .arg(c.line, c.station.isEmpty() ? QStringLiteral("-") : c.station, c.value)});
    }
    return result;
}

TrackLine ThroughServiceTrack(const QString& name, const QStringList& stations, bool loop,
                              const QStringList& runsOver, const ImportInput& input,
                              const ImportResult& result, QList<ImportProblem>* problems)
{
    QList<const ImportedLine*> over;
    for (const QString& lineName : runsOver) {
        const auto it = std::find_if(result.lines.cbegin(), result.lines.cend(),
                                     [&](const ImportedLine& l) { return l.name == lineName; });
        if (it == result.lines.cend())
            problems->append(
                {name, QStringLiteral("@経由の %1 は取り込んだ路線にありません").arg(lineName)});
        else
            over.append(&*it);
    }
    ImportedLine line;
    line.name = name;
    line.loop = loop;
    QList<QList<TrackPoint>> pieces;
    for (const ImportedLine* l : over)
        pieces += input.tracks.value(l->code);
    for (const QString& station : stations) {
        TrackStation placed {station, 0, 0};
        bool found = false;
        for (const ImportedLine* l : over) {
            const auto it = std::find_if(l->stations.cbegin(), l->stations.cend(),
                                         [&](const TrackStation& s) { return s.name == station; });
            if (it != l->stations.cend()) {
                placed = *it;
                found = true;
                break;
            }
        }
        if (!found)
            problems->append(
                {name, QStringLiteral("%1 は @経由 のどの路線にもありません").arg(station)});
        line.stations.append(placed);
        line.stationCodes.append(0);
    }
    // Each pair on the track of the lines that stop at both its stations (a station shared by
    // two lines stands on each line's own track, which need not meet there), else on all.
    TrackCheck check = CheckTrack(pieces, line.stations, loop);
    QHash<QList<int>, TrackCheck> bySet;
    for (qsizetype index = 0; index < check.pairs.size(); ++index) {
        TrackPair& pair = check.pairs[index];
        QList<int> set;
        for (int k = 0; k < over.size(); ++k) {
            const auto has = [&](int i) {
                return std::any_of(over[k]->stations.cbegin(), over[k]->stations.cend(),
                                   [&](const TrackStation& s) { return s.name == stations[i]; });
            };
            if (has(pair.from) && has(pair.to))
                set.append(k);
        }
        if (set.isEmpty() || set.size() == over.size())
            continue;
        if (!bySet.contains(set)) {
            QList<QList<TrackPoint>> some;
            for (int k : set)
                some += input.tracks.value(over[k]->code);
            bySet.insert(set, CheckTrack(some, line.stations, loop));
        }
        const TrackPair narrow = bySet.value(set).pairs.value(index);
        if (narrow.result == TrackPair::Joined)
            pair = narrow;
    }
    QList<bool> unused(input.corrections.size(), false);
    return trackOf(line, check, !pieces.isEmpty(), input.corrections, unused, *problems);
}
