// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The checks across line files: what two files can get wrong between them.

#include "linecheck.h"

#include <QHash>
#include <QSet>

namespace {

struct Occurrence
{
    int line = 0; // index into the lines checked
    int station = 0; // index into its stations
};

void report(QList<NetworkProblem>& out, const QString& path, int line, const QString& what)
{
    out.append({path, {line, LineProblem::Severity::Error, what, {}}});
}

// Two lines of one name are told apart only by their sections (@区間); without them the player
// sees the same name twice.
void checkNames(const QList<CheckedLine>& lines, QList<NetworkProblem>& out)
{
    QHash<QString, int> first;
    for (int i = 0; i < lines.size(); ++i) {
        const LineCheck& check = lines[i].check;
        if (check.lineName.isEmpty())
            continue;
        const QString key = check.lineName + u'\n' + check.meta.section;
        if (const auto seen = first.constFind(key); seen != first.cend())
            report(out, lines[i].path, 1,
                   QStringLiteral("路線名が %1 と同じです: %2%3")
                       .arg(lines[*seen].path, check.lineName,
                            check.meta.section.isEmpty()
                                ? QStringLiteral(" (同じ名前にするなら @区間 で分けます)")
                                : QStringLiteral(" (@区間 も同じ %1)").arg(check.meta.section)));
        else
            first.insert(key, i);
    }
}

// A former name (@旧名) tells the game to move a learner's games from a line that no longer
// exists (or from an earlier file of this line's own name): one that names another line the
// library has would take that line's games away.
void checkFormerNames(const QList<CheckedLine>& lines, QList<NetworkProblem>& out)
{
    QHash<QString, QString> names;
    for (const CheckedLine& line : lines) {
        if (!line.check.lineName.isEmpty())
            names.insert(line.check.lineName, line.path);
    }
    for (const CheckedLine& line : lines) {
        for (const QString& former : line.check.meta.formerNames) {
            if (former == line.check.lineName)
                continue;
            if (const auto it = names.constFind(former); it != names.cend())
                report(out, line.path, 1,
                       QStringLiteral("@旧名 の %1 は今もある路線の名前です: %2")
                           .arg(former, it.value()));
        }
    }
}

// A through service (@経由) is made of lines the library has: a name that is none of them is a
// slip, or a line renamed since.
void checkRunsOver(const QList<CheckedLine>& lines, QList<NetworkProblem>& out)
{
    QSet<QString> names;
    for (const CheckedLine& line : lines)
        names.insert(line.check.lineName);
    for (const CheckedLine& line : lines) {
        for (const QString& name : line.check.meta.runsOver) {
            if (!names.contains(name) || name == line.check.lineName)
                report(out, line.path, 1,
                       QStringLiteral("@経由 の %1 はライブラリのほかの路線の名前ではありません")
                           .arg(name));
        }
    }
}

// One station name on several lines of one operator: the reading most of them give (the first
// of those when there is a tie) is taken for right, and every other one is reported.
void checkGroup(const QList<CheckedLine>& lines, const QList<Occurrence>& group,
                const QString& operatorName, const LineCheckOptions& options,
                QList<NetworkProblem>& out)
{
    const auto station = [&](const Occurrence& o) -> const CheckedStation& {
        return lines[o.line].check.stations[o.station];
    };
    QHash<QString, int> votes;
    const Occurrence* best = nullptr;
    for (const Occurrence& o : group) {
        const int v = ++votes[station(o).reading];
        if (!best || v > votes.value(station(*best).reading))
            best = &o;
    }
    if (votes.size() < 2)
        return;
    const CheckedStation& right = station(*best);
    for (const Occurrence& o : group) {
        const CheckedStation& s = station(o);
        const QString& path = lines[o.line].path;
        if (s.reading == right.reading
            || (options.exceptions && options.exceptions->covers(path, s.name, s.reading)))
            continue;
        report(out, path, s.line,
               QStringLiteral("同じ事業者 (%1) の %2:%3 では読みが「%4」です: %5,%6")
                   .arg(operatorName, lines[best->line].path)
                   .arg(right.line)
                   .arg(right.reading, s.name, s.reading));
    }
}

void checkOperators(const QList<CheckedLine>& lines, const LineCheckOptions& options,
                    QList<NetworkProblem>& out)
{
    QList<QString> order; // "operator\nstation", as first met
    QHash<QString, QList<Occurrence>> groups;
    for (int i = 0; i < lines.size(); ++i) {
        const QString& operatorName = lines[i].check.meta.operatorName;
        if (operatorName.isEmpty())
            continue;
        const QList<CheckedStation>& stations = lines[i].check.stations;
        for (int k = 0; k < stations.size(); ++k) {
            if (stations[k].name.isEmpty() || stations[k].reading.isEmpty())
                continue;
            const QString key = operatorName + u'\n' + stations[k].name;
            QList<Occurrence>& group = groups[key];
            if (group.isEmpty())
                order.append(key);
            group.append({i, k});
        }
    }
    for (const QString& key : order) {
        const QList<Occurrence>& group = groups.value(key);
        if (group.size() > 1)
            checkGroup(lines, group, key.section(u'\n', 0, 0), options, out);
    }
}

} // namespace

QList<NetworkProblem> CheckNetwork(const QList<CheckedLine>& lines, const LineCheckOptions& options)
{
    QList<NetworkProblem> out;
    checkNames(lines, out);
    checkFormerNames(lines, out);
    checkOperators(lines, options, out);
    if (options.wholeLibrary)
        checkRunsOver(lines, out);
    return out;
}
