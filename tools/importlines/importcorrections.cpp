// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The corrections table and the database's CSV tables, read; corrections applied to a line.

#include "lib_util.h"
#include "linecheck.h"
#include "lineimport_p.h"
#include <QRegularExpression>

namespace {

struct KindName
{
    const char* name;
    CorrectionKind kind;
};

constexpr KindName kKinds[] = {
    {"reading", CorrectionKind::Reading},     {"name", CorrectionKind::Name},
    {"drop", CorrectionKind::Drop},           {"insert", CorrectionKind::Insert},
    {"loop", CorrectionKind::Loop},           {"skip", CorrectionKind::Skip},
    {"branch", CorrectionKind::Branch},       {"operator", CorrectionKind::Operator},
    {"former", CorrectionKind::Former},       {"numbers", CorrectionKind::Numbers},
    {"track", CorrectionKind::Track},         {"rename", CorrectionKind::Rename},
    {"suspended", CorrectionKind::Suspended},
};

// What a row of the kind must give besides its line.
bool needsStation(CorrectionKind kind)
{
    return kind == CorrectionKind::Reading || kind == CorrectionKind::Name
        || kind == CorrectionKind::Drop || kind == CorrectionKind::Insert
        || kind == CorrectionKind::Branch || kind == CorrectionKind::Numbers
        || kind == CorrectionKind::Track;
}
bool needsValue(CorrectionKind kind)
{
    return kind != CorrectionKind::Drop && kind != CorrectionKind::Loop
        && kind != CorrectionKind::Skip;
}
// Rows applied to the stations of the database's line, before any branch is cut out.
bool touchesStations(CorrectionKind kind)
{
    return kind == CorrectionKind::Reading || kind == CorrectionKind::Name
        || kind == CorrectionKind::Drop || kind == CorrectionKind::Numbers;
}

// The numbers of a numbers row: space-separated, "-" for none; false when a token could not
// stand in a station line (the file's separators, or the # and @ the file writes itself).
bool parseNumbers(const QString& value, QStringList* out)
{
    out->clear();
    if (value == u"-")
        return true;
    for (const QString& token : value.split(u' ', Qt::SkipEmptyParts)) {
        static const QRegularExpression number(QStringLiteral("^[A-Za-z]*[0-9]+[A-Za-z0-9-]*$"));
        if (!number.match(token).hasMatch())
            return false;
        out->append(token);
    }
    return !out->isEmpty();
}

qsizetype indexOf(const QList<lineimport::Station>& stations, const QString& source,
                  qsizetype from = 0)
{
    for (qsizetype i = from; i < stations.size(); ++i) {
        if (!stations[i].inserted && stations[i].source == source)
            return i;
    }
    return -1;
}

// A station line "name,reading,extra" of an insert row; false when it is not one.
bool parseInserted(const QString& value, lineimport::Station* out)
{
    const QStringList fields = value.split(u',');
    if (fields.size() < 2 || fields.size() > 3 || value.contains(u';'))
        return false;
    out->name = TrimFieldBlanks(fields[0]);
    out->reading = TrimFieldBlanks(fields[1]);
    bool malformed = false;
    out->meta = ParseStationExtra(fields.value(2), &malformed);
    out->source = out->name;
    out->inserted = true;
    return !out->name.isEmpty() && !malformed;
}

bool matches(const Correction& c, const QString& line)
{
    return c.line == u"*" || c.line == line;
}

// After the station named (the start for "^") and after the stations inserted there before,
// so that rows inserted at one place keep the table's order. -1: no such station.
qsizetype insertPosition(const QList<lineimport::Station>& stations, const QString& after)
{
    qsizetype at = 0;
    if (after != u"^") {
        at = -1;
        for (qsizetype i = 0; i < stations.size() && at < 0; ++i) {
            if (stations[i].source == after)
                at = i + 1;
        }
        if (at < 0)
            return -1;
    }
    while (at < stations.size() && stations[at].inserted)
        ++at;
    return at;
}

// A reading, name, drop or numbers row on the stations the database names so; true when one
// matched.
bool applyToStations(lineimport::Line& line, const Correction& c)
{
    bool matched = false;
    for (qsizetype i = line.stations.size() - 1; i >= 0; --i) {
        lineimport::Station& s = line.stations[i];
        if (s.inserted || s.source != c.station)
            continue;
        matched = true;
        if (c.kind == CorrectionKind::Drop) {
            line.stations.removeAt(i);
        } else if (c.kind == CorrectionKind::Reading) {
            s.reading = c.value;
        } else if (c.kind == CorrectionKind::Numbers) {
            parseNumbers(c.value, &s.meta.numbers);
        } else {
            s.name = c.value;
            // The aside that was the new name already says nothing more.
            if (s.meta.note == c.value)
                s.meta.note.clear();
        }
    }
    return matched;
}

} // namespace

QList<Correction> ParseCorrections(const QString& text, QList<ImportProblem>* problems)
{
    QList<Correction> rows;
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QString where = QStringLiteral("corrections.tsv:%1").arg(n + 1);
        const QStringList f = line.split(u'\t');
        Correction c;
        c.row = int(n + 1);
        bool known = false;
        for (const KindName& k : kKinds) {
            if (f[0] == QLatin1String(k.name)) {
                c.kind = k.kind;
                known = true;
            }
        }
        if (!known || f.size() < 5) {
            problems->append({where,
                              known ? QStringLiteral("欄が5つ (種類, 路線, 駅, 値, 理由) "
                                                     "そろっていません")
                                    : QStringLiteral("知らない種類「%1」").arg(f[0])});
            continue;
        }
        c.line = f[1].trimmed();
        c.station = f[2].trimmed();
        c.value = f[3].trimmed();
        c.reason = f.mid(4).join(u'\t').trimmed();
        lineimport::Station inserted;
        QStringList numbers;
        QString wrong;
        if (c.line.isEmpty())
            wrong = QStringLiteral("路線がありません");
        else if (needsStation(c.kind) && c.station.isEmpty())
            wrong = QStringLiteral("駅がありません");
        else if (needsValue(c.kind) && c.value.isEmpty())
            wrong = QStringLiteral("値がありません");
        else if (c.reason.isEmpty())
            wrong = QStringLiteral("理由 (確かめたページ) がありません");
        else if (c.kind == CorrectionKind::Insert && !parseInserted(c.value, &inserted))
            wrong = QStringLiteral("挿入する駅「%1」が「駅名,読み,付記」の形ではありません")
                        .arg(c.value);
        else if (c.kind == CorrectionKind::Numbers && !parseNumbers(c.value, &numbers))
            wrong = QStringLiteral("駅番号「%1」が空白で区切った番号 (無いときは「-」) では"
                                   "ありません")
                        .arg(c.value);
        else if (c.kind == CorrectionKind::Suspended && !ParseSuspendedSection(c.value, nullptr))
            wrong = QStringLiteral("運休区間「%1」が「駅～駅 YYYY-MM 理由」の形ではありません")
                        .arg(c.value);
        else if (c.kind == CorrectionKind::Rename
                 && (c.line == u"*" || c.value.section(u',', 0, 0) == c.line
                     || c.value.contains(u'/') || c.value.contains(u' ')
                     || (c.value.contains(u',') && !IsHiraganaReading(c.value.section(u',', 1)))))
            wrong = QStringLiteral("新しい路線名「%1」が使えません").arg(c.value);
        else if (c.kind == CorrectionKind::Branch && !lineimport::ParseBranch(c.value, nullptr))
            wrong = QStringLiteral("支線「%1」が「終わりの駅|分かれる駅|合流する駅|路線名」の"
                                   "形ではありません")
                        .arg(c.value);
        if (!wrong.isEmpty()) {
            problems->append({where, wrong});
            continue;
        }
        rows.append(c);
    }
    return rows;
}

QList<QHash<QString, QString>> ParseCsvTable(const QString& text)
{
    QList<QHash<QString, QString>> rows;
    QStringList lines = text.split(u'\n');
    for (QString& l : lines) {
        if (l.endsWith(u'\r'))
            l.chop(1);
    }
    if (lines.isEmpty())
        return rows;
    const QStringList header = lines.front().split(u',');
    for (qsizetype n = 1; n < lines.size(); ++n) {
        if (lines[n].isEmpty())
            continue;
        const QStringList f = lines[n].split(u',');
        QHash<QString, QString> row;
        for (qsizetype i = 0; i < header.size(); ++i)
            row.insert(header[i], f.value(i));
        rows.append(row);
    }
    return rows;
}

namespace lineimport {

bool ParseBranch(const QString& value, BranchSpec* out)
{
    const QStringList f = value.split(u'|');
    if (f.size() != 4)
        return false;
    const BranchSpec spec {f[0].trimmed(), f[1].trimmed(), f[2].trimmed(), f[3].trimmed()};
    // A branch listed backwards (from its far end) has no junction before it, only the station
    // it runs into after it.
    if (spec.last.isEmpty() || (spec.junction.isEmpty() && spec.rejoin.isEmpty())
        || spec.name.isEmpty())
        return false;
    if (out)
        *out = spec;
    return true;
}

bool ApplyCorrections(Line& line, const QList<Correction>& corrections, QList<bool>& used,
                      QList<ImportProblem>& problems)
{
    for (qsizetype i = 0; i < corrections.size(); ++i) {
        const Correction& c = corrections[i];
        if (c.kind == CorrectionKind::Skip && matches(c, line.name)) {
            used[i] = true;
            return false;
        }
    }
    // Stations the database has first, then what is inserted among them.
    for (qsizetype i = 0; i < corrections.size(); ++i) {
        const Correction& c = corrections[i];
        if (!matches(c, line.name) || (!touchesStations(c.kind) && c.kind != CorrectionKind::Loop))
            continue;
        if (c.kind == CorrectionKind::Loop) {
            line.loop = true;
            used[i] = true;
        } else if (applyToStations(line, c)) {
            used[i] = true;
        }
    }
    for (qsizetype i = 0; i < corrections.size(); ++i) {
        const Correction& c = corrections[i];
        if (!matches(c, line.name) || c.kind != CorrectionKind::Insert)
            continue;
        const qsizetype at = insertPosition(line.stations, c.station);
        if (at < 0)
            continue;
        Station s;
        if (!parseInserted(c.value, &s)) {
            problems.append(
                {line.name, QStringLiteral("挿入する駅「%1」が読めません").arg(c.value)});
            continue;
        }
        line.stations.insert(at, s);
        used[i] = true;
    }
    // A loop's first station is not repeated at its end.
    if (line.loop && line.stations.size() > 1
        && line.stations.front().name == line.stations.back().name)
        line.stations.removeLast();
    return true;
}

QList<Line> SplitBranches(Line& line, const QList<Correction>& corrections, QList<bool>& used,
                          QList<ImportProblem>& problems)
{
    QList<Line> branches;
    for (qsizetype i = 0; i < corrections.size(); ++i) {
        const Correction& c = corrections[i];
        BranchSpec spec;
        if (c.kind != CorrectionKind::Branch || !matches(c, line.name)
            || !ParseBranch(c.value, &spec))
            continue;
        const qsizetype first = indexOf(line.stations, c.station);
        const qsizetype last = first < 0 ? -1 : indexOf(line.stations, spec.last, first);
        if (last < 0)
            continue; // reported as a row that matched nothing
        used[i] = true;
        // The junction and the rejoin station are on the rest of the line, not in the run.
        const auto outside = [&](const QString& name) {
            const qsizetype at = indexOf(line.stations, name);
            return at >= first && at <= last ? indexOf(line.stations, name, last + 1) : at;
        };
        const qsizetype junction = spec.junction.isEmpty() ? -2 : outside(spec.junction);
        const qsizetype rejoin = spec.rejoin.isEmpty() ? -2 : outside(spec.rejoin);
        if (junction == -1 || rejoin == -1) {
            problems.append({line.name,
                             QStringLiteral("支線 %1 の分かれる駅「%2」か合流する駅"
                                            "「%3」がありません")
                                 .arg(spec.name, spec.junction, spec.rejoin)});
            continue;
        }
        Line branch = line;
        branch.name = spec.name;
        branch.loop = false;
        branch.formerNames.clear();
        branch.stations = line.stations.mid(first, last - first + 1);
        if (junction >= 0)
            branch.stations.prepend(line.stations[junction]);
        if (rejoin >= 0)
            branch.stations.append(line.stations[rejoin]);
        line.stations.remove(first, last - first + 1);
        branches.append(branch);
    }
    return branches;
}

void ApplyLineRows(Line& line, const QList<Correction>& corrections, QList<bool>& used,
                   QList<ImportProblem>& problems)
{
    qsizetype rename = -1;
    for (qsizetype i = 0; i < corrections.size(); ++i) {
        const Correction& c = corrections[i];
        if (!matches(c, line.name)) {
            continue;
        } else if (c.kind == CorrectionKind::Operator) {
            line.company = c.value;
            used[i] = true;
        } else if (c.kind == CorrectionKind::Former) {
            line.formerNames.append(c.value);
            used[i] = true;
        } else if (c.kind == CorrectionKind::Rename && c.line != u"*") {
            rename = i;
        } else if (c.kind == CorrectionKind::Suspended) {
            SuspendedSection section;
            ParseSuspendedSection(c.value, &section);
            const auto at = [&](const QString& name) {
                for (qsizetype s = 0; s < line.stations.size(); ++s) {
                    if (line.stations[s].name == name)
                        return s;
                }
                return qsizetype(-1);
            };
            const qsizetype from = at(section.from);
            const qsizetype to = at(section.to);
            if (from < 0 || to <= from) {
                used[i] = true; // it names the line: said here, not again as matching nothing
                problems.append({line.name,
                                 QStringLiteral("運休区間 %1～%2 がこの路線の駅の順にありません")
                                     .arg(section.from, section.to)});
                continue;
            }
            line.suspended.append(section);
            used[i] = true;
        }
    }
    // Last, so that every row above names the line as the database does; what a learner did
    // under the old name follows the line.
    if (rename >= 0) {
        used[rename] = true;
        line.formerNames.append(line.name);
        const QString& value = corrections[rename].value;
        line.name = value.section(u',', 0, 0);
        if (value.contains(u','))
            line.reading = value.section(u',', 1);
    }
}

} // namespace lineimport
