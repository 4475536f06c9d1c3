// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linecheck.h"
#include "codec.h"
#include "lib_util.h"
#include "linefile.h"
#include "linegeometry.h"
#include "stationdictionary.h"
#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

void problem(LineCheck& check, int line, const QString& what, const QString& dictionary = {},
             LineProblem::Severity severity = LineProblem::Severity::Error)
{
    check.problems.append({line, severity, what, dictionary});
}

void warning(LineCheck& check, int line, const QString& what)
{
    problem(check, line, what, {}, LineProblem::Severity::Warning);
}

// Bytes the encoding cannot read, and a lone LF in a file of CR line ends.
void checkText(LineCheck& check, int line, const QString& raw)
{
    if (raw.contains(QChar::ReplacementCharacter))
        problem(check, line,
                check.encoding == QLatin1String("UTF-8")
                    ? QStringLiteral("UTF-8 として読めないバイトがあります")
                    : QStringLiteral("CP932 (Shift-JIS) として読めないバイトがあります"));
    if (raw.contains(u'\n'))
        problem(
            check, line,
            QStringLiteral("行の途中に LF だけの改行があります (CR LF と LF が混ざっています)"));
}

// What the dictionaries say of a name: the readings alone with one dictionary, else each
// dictionary's readings under its name.
QString dictionarySays(const QStringList& skk, const QStringList& enamdict, bool two)
{
    if (!two)
        return skk.join(u'/');
    QStringList parts;
    if (!skk.isEmpty())
        parts << QStringLiteral("SKK ") + skk.join(u'/');
    if (!enamdict.isEmpty())
        parts << QStringLiteral("ENAMDICT ") + enamdict.join(u'/');
    return parts.join(QStringLiteral("、"));
}

// A reading is confirmed when either dictionary gives it; a name a dictionary knows only with
// other readings is an error, one neither knows an error only when strict.
void checkReading(LineCheck& check, const CheckedStation& station, const QString& path,
                  const LineCheckOptions& options)
{
    const auto loaded = [](const StationDictionary* d) { return d && !d->isEmpty(); };
    if (!loaded(options.dictionary) && !loaded(options.enamdict))
        return;
    if (options.exceptions && options.exceptions->covers(path, station.name, station.reading))
        return;
    const QStringList skk
        = loaded(options.dictionary) ? options.dictionary->readingsOf(station.name) : QStringList();
    const QStringList enamdict
        = loaded(options.enamdict) ? options.enamdict->readingsOf(station.name) : QStringList();
    // The dictionaries drop a trailing 駅 with its えき: 富山駅,とやまえき (a tram stop's name) is
    // their 富山, とやま.
    QString bare = station.reading;
    if (station.name.endsWith(u'駅') && bare.endsWith(QStringLiteral("えき")))
        bare.chop(2);
    for (const QString& r : {station.reading, bare}) {
        if (skk.contains(r) || enamdict.contains(r))
            return;
    }
    if (skk.isEmpty() && enamdict.isEmpty()) {
        check.report(station.line,
                     QStringLiteral("辞書にない駅です: %1,%2").arg(station.name, station.reading),
                     options.strict ? LineProblem::Severity::Error
                                    : LineProblem::Severity::Warning);
    } else {
        check.report(
            station.line,
            QStringLiteral("読みが辞書と違います: %1,%2").arg(station.name, station.reading),
            LineProblem::Severity::Error, dictionarySays(skk, enamdict, loaded(options.enamdict)));
    }
}

// One station line: its fields, a duplicate of an earlier station (seen: name to line), and its
// reading, against the dictionary when there is one.
void checkStation(LineCheck& check, const LineFileStation& s, QHash<QString, int>& seen,
                  const QString& path, const LineCheckOptions& options)
{
    const int lineNo = s.line;
    bool malformed = false;
    CheckedStation station {lineNo, s.fields[0], s.fields[1], s.fields[2],
                            ParseStationExtra(s.fields[2], &malformed)};
    check.stations.append(station);
    if (s.rawFields != s.fields)
        warning(check, lineNo, QStringLiteral("欄の端に空白があります (ゲームは取り除きます)"));
    if (malformed)
        problem(check, lineNo,
                QStringLiteral("駅番号 (#) か位置 (@緯度/経度) の書き方が違います: %1")
                    .arg(station.extra));
    const QStringList known
        = options.dictionary ? options.dictionary->readingsOf(station.name) : QStringList();
    const QString said = known.join(u'/');
    if (station.name.isEmpty()) {
        problem(check, lineNo, QStringLiteral("駅名がありません"));
        return;
    }
    if (const int before = seen.value(station.name); before > 0)
        problem(check, lineNo,
                QStringLiteral("%1 行目と同じ駅です: %2").arg(before).arg(station.name));
    else
        seen.insert(station.name, lineNo);
    if (station.reading.isEmpty()) {
        // A full-width comma or a 読点 typed where the comma goes: name and reading run together.
        const bool wideComma = station.name.contains(u'，') || station.name.contains(u'、')
            || station.name.contains(u'､');
        problem(check, lineNo,
                wideComma ? QStringLiteral("駅名と読みが全角の「，」か「、」で区切られています "
                                           "(半角の「,」で区切ります): %1")
                                .arg(station.name)
                          : QStringLiteral("読みがありません: %1").arg(station.name),
                said);
        check.problems.last().unanswerable = true;
        return;
    }
    if (!IsHiraganaReading(station.reading)) {
        problem(check, lineNo,
                QStringLiteral("読みがひらがなだけではありません: %1,%2")
                    .arg(station.name, station.reading));
        check.problems.last().unanswerable = !AnswerableReading(station.reading);
    }
    checkReading(check, station, path, options);
}

} // namespace

bool LineExceptions::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList parts = line.split(u'\t');
        if (parts.size() >= 3)
            add(parts[0].trimmed(), parts[1].trimmed(), parts[2].trimmed());
    }
    return true;
}

void LineExceptions::add(const QString& path, const QString& station, const QString& reading)
{
    entries_.append({path, station, reading});
}

bool LineExceptions::covers(const QString& file, const QString& station,
                            const QString& reading) const
{
    const QString normalised = QFileInfo(file).absoluteFilePath();
    for (const Entry& e : entries_) {
        if (e.station == station && e.reading == reading
            && (normalised.endsWith(u'/' + e.path) || normalised == e.path)) {
            e.used = true;
            return true;
        }
    }
    return false;
}

QStringList LineExceptions::unused() const
{
    QStringList out;
    for (const Entry& e : entries_) {
        if (!e.used)
            out << e.path + u' ' + e.station + u' ' + e.reading;
    }
    return out;
}

bool LineKnownCases::load(const QString& path, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *why = file.errorString();
        return false;
    }
    int lineNo = 0;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        ++lineNo;
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList parts = line.split(u'\t');
        const QString kind = parts.value(2).trimmed();
        if (parts.size() < 4 || !QStringList {"gap", "back", "detour", "number"}.contains(kind)) {
            *why = QStringLiteral(
                       "%1 行目: "
                       "「パス<TAB>駅名<TAB>gap・back・detour・number<TAB>理由」の形ではありません")
                       .arg(lineNo);
            return false;
        }
        add(parts[0].trimmed(), parts[1].trimmed(), kind);
    }
    return true;
}

void LineKnownCases::add(const QString& path, const QString& station, const QString& kind)
{
    rows_.add(path, station, kind);
}

bool LineKnownCases::covers(const QString& file, const QString& station, const QString& kind) const
{
    return rows_.covers(file, station, kind);
}

void LineCheck::report(int line, const QString& what, LineProblem::Severity severity,
                       const QString& dictionary)
{
    problems.append({line, severity, what, dictionary});
}

int LineCheck::errors() const
{
    int n = 0;
    for (const LineProblem& p : problems)
        n += p.severity == LineProblem::Severity::Error ? 1 : 0;
    return n;
}

bool AnswerableReading(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // What the answer box types by itself: hiragana, ー, and plain ASCII from the keyboard.
        const bool typed = (u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E || u == 0x30FC
            || (u > 0x20 && u < 0x7F);
        if (!typed)
            return false;
    }
    return true;
}

bool IsHiraganaReading(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool kana = (u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E;
        if (!kana && u != 0x30FC) // ー
            return false;
    }
    return true;
}

namespace {

// Each @運休 section runs between two stations of the file, in the file's order; the free
// text's first line is line 2.
void checkSuspended(LineCheck& check, const QStringList& freeText)
{
    for (qsizetype i = 0; i < freeText.size(); ++i) {
        const LineMeta one = ParseLineMeta({freeText[i]});
        if (one.suspended.isEmpty())
            continue;
        const SuspendedSection& s = one.suspended.front();
        int from = -1, to = -1;
        for (int k = 0; k < check.stations.size(); ++k) {
            if (check.stations[k].name == s.from && from < 0)
                from = k;
            if (check.stations[k].name == s.to)
                to = k;
        }
        if (from < 0 || to < 0)
            problem(check, int(i) + 2,
                    QStringLiteral("@運休 の %1 はこの路線の駅ではありません")
                        .arg(from < 0 ? s.from : s.to));
        else if (to <= from)
            problem(check, int(i) + 2,
                    QStringLiteral("@運休 の %1～%2 が駅の順になっていません").arg(s.from, s.to));
    }
}

} // namespace

LineCheck CheckLineFile(const QString& path, const LineCheckOptions& options)
{
    LineCheck check;
    // Found the way the game finds it, without regard to case.
    const QString real = ResolvePath(path);
    TextFile file;
    if (!file.open(real.isEmpty() ? path : real)) {
        problem(check, 0,
                QStringLiteral("読み込めません")
                    + (file.errorString().isEmpty() ? QString()
                                                    : QStringLiteral(": ") + file.errorString()));
        return check;
    }
    check.encoding = file.isUtf8() ? QStringLiteral("UTF-8") : QStringLiteral("CP932");
    if (file.isEmpty()) {
        problem(check, 0, QStringLiteral("空のファイルです"));
        return check;
    }

    const LineFile line = ParseLineFile(file);
    if (line.tooLongLine > 0) {
        // The game refuses the file there; nothing read so far says more.
        problem(check, line.tooLongLine,
                QStringLiteral("行が長すぎます (1行は %1 KB まで)")
                    .arg(TextFile::kMaxLineBytes / 1024));
        return check;
    }
    checkText(check, 1, line.rawName);
    check.lineName = line.name;
    if (check.lineName.isEmpty())
        problem(check, 1, QStringLiteral("1行目に路線名がありません"));
    for (qsizetype i = 0; i < line.freeText.size(); ++i)
        checkText(check, int(2 + i), line.freeText[i]);
    if (!line.marker) {
        problem(check, 0,
                QStringLiteral("「###」だけの行がありません (駅はその次の行から書きます)"));
        return check;
    }

    QHash<QString, int> seen;
    for (const LineFileStation& s : line.stations) {
        checkText(check, s.line, s.raw);
        checkStation(check, s, seen, path, options);
    }
    check.loop = line.loop;
    check.meta = ParseLineMeta(line.freeText);
    for (const LineMetaProblem& p : check.meta.problems)
        problem(check, p.line, p.what);
    checkSuspended(check, line.freeText);
    CheckStationNumbers(check, path, options.known);
    CheckPositions(check, path, options.known);
    if (options.track)
        CheckAlongTrack(check, *options.track);
    if (line.loop && check.stations.size() < 3)
        warning(check, line.loopLine,
                QStringLiteral("環状線の印 (@環状) がありますが、駅が3つより少ないので"
                               "環状線としては遊びません"));
    if (check.stations.isEmpty())
        problem(check, 0, QStringLiteral("「###」の行より後に駅がありません"));
    else if (check.stations.size() > kMaxLineStations)
        problem(check, 0,
                QStringLiteral("駅が %1 あります。読み込めるのは %2 駅までです")
                    .arg(check.stations.size())
                    .arg(kMaxLineStations));
    return check;
}

QStringList UnanswerableStations(const LineCheck& check, int limit)
{
    QStringList lines;
    int more = 0;
    for (const LineProblem& p : check.problems) {
        if (!p.unanswerable)
            continue;
        if (lines.size() < limit)
            lines << QStringLiteral("%1 行目: %2").arg(p.line).arg(p.what);
        else
            ++more;
    }
    if (more > 0)
        lines << QStringLiteral("ほか %1 件").arg(more);
    return lines;
}

int FillReadings(const QString& path, const StationDictionary& dictionary, QString* written,
                 QString* why)
{
    const QString real = ResolvePath(path);
    TextFile file;
    if (!file.open(real.isEmpty() ? path : real) || file.isEmpty()) {
        *why = QStringLiteral("読み込めません");
        return -1;
    }
    const QFileInfo info(path);
    const QString target
        = info.dir().filePath(info.completeBaseName() + QStringLiteral(".filled.txt"));
    if (QFileInfo::exists(target)) {
        *why = QStringLiteral("書き出し先がすでにあります: ") + target;
        return -1;
    }

    const LineFile line = ParseLineFile(file);
    if (line.tooLongLine > 0) {
        *why = QStringLiteral("%1 行目が長すぎます").arg(line.tooLongLine);
        return -1;
    }
    QStringList lines = QStringList {line.rawName} + line.freeText;
    if (line.marker)
        lines << QString::fromLatin1(kLineFileMarker);
    int filled = 0;
    for (const LineFileStation& s : line.stations) {
        const QString& name = s.fields[0];
        const QString& extra = s.fields[2];
        const QStringList known = dictionary.readingsOf(name);
        if (name.isEmpty() || !s.fields[1].isEmpty() || known.size() != 1) {
            lines << s.raw;
            continue;
        }
        const qsizetype semicolon = s.raw.indexOf(u';');
        const QString comment = semicolon >= 0 ? s.raw.mid(semicolon) : QString();
        lines << name + u',' + known.first() + (extra.isEmpty() ? QString() : u',' + extra)
                + comment;
        ++filled;
    }
    const QString lineEnd = line.lfLineEnds ? QStringLiteral("\n") : QStringLiteral("\r\n");
    const QString text = lines.join(lineEnd) + lineEnd;
    QByteArray bytes;
    if (line.utf8) {
        bytes = text.toUtf8();
    } else {
        const std::optional<QByteArray> encoded = EncodeText(text, "CP932");
        if (!encoded) {
            *why = QStringLiteral("CP932 で書けない文字があります");
            return -1;
        }
        bytes = *encoded;
    }
    QFile out(target);
    if (!out.open(QIODevice::NewOnly | QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        *why = out.errorString();
        return -1;
    }
    *written = target;
    return filled;
}
