// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "finder.h"
#include "linecatalogue.h"
#include "romaji.h"

#include <QHash>

#include <algorithm>

namespace {

const QString kJr = QStringLiteral("jr");
const QString kJrReading = QStringLiteral("じぇいあーる");

// The name, and the same without "JR" in front and without the section in brackets at the end
// ("JR東海道本線(東京～熱海)" is also "東海道本線"): what a learner calls the line.
QStringList namesOf(const QString& folded, const QString& jr)
{
    QStringList out {folded};
    QString core = folded;
    const qsizetype open = core.lastIndexOf(u'(');
    if (open > 0 && core.endsWith(u')'))
        core.truncate(open);
    if (core.startsWith(jr) && core.size() > jr.size())
        core.remove(0, jr.size());
    if (core != folded)
        out.append(core);
    return out;
}

bool anyEquals(const QStringList& list, const QString& q)
{
    return std::any_of(list.begin(), list.end(), [&](const QString& s) { return s == q; });
}

bool anyStarts(const QStringList& list, const QString& q)
{
    return std::any_of(list.begin(), list.end(), [&](const QString& s) { return s.startsWith(q); });
}

bool anyContains(const QStringList& list, const QString& q)
{
    return std::any_of(list.begin(), list.end(), [&](const QString& s) { return s.contains(q); });
}

// The best match among a line's stations, first in running order within its kind.
FinderHit stationMatch(const FinderLine& line, const QString& q)
{
    FinderHit best {0, FinderRank::StationContains, -1};
    if (!line.stationText.contains(q))
        return best;
    for (int i = 0; i < int(line.stationNames.size()); ++i) {
        const QString& name = line.stationNames[i];
        const QString& reading = line.stationReadings[i];
        FinderRank rank;
        if (name == q || reading == q)
            rank = FinderRank::Station;
        else if (name.startsWith(q) || reading.startsWith(q))
            rank = FinderRank::StationPrefix;
        else if (name.contains(q) || reading.contains(q))
            rank = FinderRank::StationContains;
        else
            continue;
        if (best.station < 0 || rank < best.rank)
            best = {0, rank, i};
        if (rank == FinderRank::Station)
            break;
    }
    return best;
}

// The line's own best match, without its stations; false when there is none.
bool lineMatch(const FinderLine& line, const QString& q, FinderRank* rank)
{
    const QStringList* own[] = {&line.names, &line.readings};
    if (std::any_of(std::begin(own), std::end(own), [&](auto l) { return anyEquals(*l, q); }))
        *rank = FinderRank::Name;
    else if (std::any_of(std::begin(own), std::end(own), [&](auto l) { return anyStarts(*l, q); }))
        *rank = FinderRank::NamePrefix;
    else if (std::any_of(std::begin(own), std::end(own),
                         [&](auto l) { return anyContains(*l, q); }))
        *rank = FinderRank::NameContains;
    else if (!line.symbol.isEmpty() && line.symbol == q)
        *rank = FinderRank::Symbol;
    else
        return false;
    return true;
}

} // namespace

QString FinderFold(const QString& text)
{
    QString out = text.normalized(QString::NormalizationForm_KC).toLower();
    qsizetype to = 0;
    for (qsizetype from = 0; from < out.size(); ++from) {
        char16_t c = out[from].unicode();
        if (c == u' ' || c == u'\u3000' || c == u'\t')
            continue;
        if (c == u'ヵ' || c == u'ゕ')
            c = u'か';
        else if (c == u'ヶ' || c == u'ゖ')
            c = u'け';
        else if (c >= u'ァ' && c <= u'ヴ')
            c = char16_t(c - 0x60);
        out[to++] = QChar(c);
    }
    out.truncate(to);
    return out;
}

FinderIndex BuildFinderIndex(const QList<IndexedLine>& lines)
{
    FinderIndex index;
    index.lines.reserve(lines.size());
    for (const IndexedLine& l : lines) {
        FinderLine f;
        f.names = namesOf(FinderFold(l.name), kJr);
        if (!l.meta.reading.isEmpty())
            f.readings = namesOf(FinderFold(l.meta.reading), kJrReading);
        f.symbol = FinderFold(l.meta.symbol);
        f.operatorName = FinderFold(l.meta.operatorName);
        for (const QString& p : l.meta.prefectures)
            f.prefectures.append(FinderFold(p));
        f.stationNames.reserve(l.stations.size());
        f.stationReadings.reserve(l.stations.size());
        for (const IndexedStation& s : l.stations) {
            f.stationNames.append(FinderFold(s.name));
            f.stationReadings.append(FinderFold(s.reading));
            f.stationText += u'\n' + f.stationNames.back() + u'\n' + f.stationReadings.back();
        }
        index.lines.append(f);
    }
    QHash<QString, int> byName;
    for (int i = 0; i < int(lines.size()); ++i)
        byName.insert(lines[i].name, i);
    for (int i = 0; i < int(lines.size()); ++i) {
        for (const QString& name : lines[i].meta.runsOver) {
            const int over = byName.value(name, -1);
            if (over >= 0 && over != i && !index.lines[over].runBy.contains(i))
                index.lines[over].runBy.append(i);
        }
    }
    for (int i = 0; i < int(lines.size()); ++i)
        index.order.append(i);
    std::stable_sort(index.order.begin(), index.order.end(), [&](int a, int b) {
        const int ra = RegionRank(lines[a].region);
        const int rb = RegionRank(lines[b].region);
        if (ra != rb)
            return ra < rb;
        const FinderLine& la = index.lines[a];
        const FinderLine& lb = index.lines[b];
        const QString& ka = la.readings.isEmpty() ? la.names.back() : la.readings.back();
        const QString& kb = lb.readings.isEmpty() ? lb.names.back() : lb.readings.back();
        return ka < kb;
    });
    return index;
}

namespace {

// The folded query's letters as the answer box turns romaji into kana ("yamanote" is やまのて);
// "" when that changes nothing ("jr").
QString kanaOf(const QString& q)
{
    romaji::Composer composer;
    QString kana;
    for (const QChar c : q)
        kana += composer.feed(c);
    // Letters still waiting for their vowel are left off, so that the list narrows as the
    // learner types ("shinjuk" looks for しんじゅ); a last "n" is ん, as the box takes it on
    // Enter.
    if (composer.pending() == QLatin1String("n"))
        kana += composer.flush();
    kana = FinderFold(kana);
    return kana == q ? QString() : kana;
}

// The line's best match for one form of the query; false when it has none.
bool matchLine(const FinderLine& line, const QString& q, FinderHit* hit)
{
    if (lineMatch(line, q, &hit->rank))
        return true;
    const FinderHit station = stationMatch(line, q);
    if (station.station >= 0 && station.rank == FinderRank::Station)
        *hit = {hit->line, station.rank, station.station};
    else if (line.operatorName.contains(q))
        hit->rank = FinderRank::Operator;
    else if (anyContains(line.prefectures, q))
        hit->rank = FinderRank::Prefecture;
    else if (station.station >= 0)
        *hit = {hit->line, station.rank, station.station};
    else
        return false;
    return true;
}

} // namespace

QList<FinderHit> FindLines(const FinderIndex& index, const QString& query)
{
    const QString q = FinderFold(query);
    QList<FinderHit> hits;
    if (q.isEmpty())
        return hits;
    // The text as typed ("JR", "JY") and as the answer box would turn it into kana.
    const QString kana = kanaOf(q);
    QList<FinderHit> best(index.lines.size());
    QList<bool> found(index.lines.size(), false);
    for (const int i : index.order) {
        const FinderLine& line = index.lines[i];
        FinderHit hit {i, FinderRank::Name, -1};
        const bool typed = matchLine(line, q, &hit);
        FinderHit converted {i, FinderRank::Name, -1};
        if (!kana.isEmpty() && matchLine(line, kana, &converted)
            && (!typed || converted.rank < hit.rank))
            hit = converted;
        else if (!typed)
            continue;
        best[i] = hit;
        found[i] = true;
    }
    // A line found by its name brings the through services that run over it, right after the
    // lines found by name.
    for (const int i : index.order) {
        if (!found[i] || best[i].rank > FinderRank::NameContains)
            continue;
        for (const int t : index.lines[i].runBy) {
            if (!found[t] || best[t].rank > FinderRank::ThroughService) {
                best[t] = {t, FinderRank::ThroughService, -1};
                found[t] = true;
            }
        }
    }
    for (const int i : index.order) {
        if (found[i])
            hits.append(best[i]);
    }
    // Lines of one rank stay in the index's order.
    std::stable_sort(hits.begin(), hits.end(),
                     [](const FinderHit& a, const FinderHit& b) { return a.rank < b.rank; });
    return hits;
}
