// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linegeometry.h"
#include "linecheck.h"
#include "trackfile.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <vector>

namespace {

struct Number
{
    int station = 0; // index into LineCheck::stations
    QString text;
    std::array<int, 3> key {}; // the digits, a letter after them, a number after a dash
};

// "JY24" is prefix JY, number 24; "NK45-1" comes after NK45 and "K04A" after K04.
bool splitNumber(const QString& text, QString* prefix, std::array<int, 3>* key)
{
    static const QRegularExpression re(
        QStringLiteral("^([A-Za-z]*)([0-9]+)([A-Za-z]?)(?:-([0-9]+))?$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    *prefix = m.captured(1).toUpper();
    const QString letter = m.captured(3).toUpper();
    *key = {m.captured(2).toInt(), letter.isEmpty() ? 0 : letter.front().unicode(),
            m.captured(4).toInt()};
    return true;
}

// The numbers of one prefix in line order. Every step should go the way most steps go; on a
// loop the step from the last back to the first counts too, and the longest step the other way
// is where the numbering closes. A run of steps the wrong way is one reversal, reported where it
// begins.
void checkSequence(LineCheck& check, const std::vector<Number>& seq, bool loop,
                   const std::function<bool(int)>& known)
{
    const int n = int(seq.size());
    if (n < 2)
        return;
    struct Step
    {
        int to, sign, jump;
    };
    std::vector<Step> steps;
    int up = 0, down = 0, first = 0;
    for (int k = 1; k <= (loop ? n : n - 1); ++k) {
        const Number& a = seq[k - 1];
        const Number& b = seq[k % n];
        const int sign = a.key < b.key ? 1 : (b.key < a.key ? -1 : 0);
        steps.push_back({k % n, sign, std::abs(b.key[0] - a.key[0])});
        (sign > 0 ? up : down) += sign != 0 ? 1 : 0;
        first = first == 0 ? sign : first;
    }
    const int direction = up > down ? 1 : (down > up ? -1 : first);
    int wrap = -1;
    for (int i = 0; loop && i < int(steps.size()); ++i) {
        if (steps[i].sign == -direction && (wrap < 0 || steps[i].jump > steps[wrap].jump))
            wrap = i;
    }
    const auto wrong = [&](int i) { return steps[i].sign != direction && i != wrap; };
    for (int i = 0; i < int(steps.size()); ++i) {
        const bool sameRun = i > 0 && wrong(i - 1) && steps[i].sign == steps[i - 1].sign;
        if (!wrong(i) || (sameRun && steps[i].sign != 0))
            continue;
        const Number& b = seq[steps[i].to];
        const Number& a = seq[(steps[i].to + n - 1) % n];
        const int aLine = check.stations[a.station].line;
        if (known(b.station))
            continue;
        check.report(
            check.stations[b.station].line,
            steps[i].sign == 0
                ? QStringLiteral("駅番号 %1 が %2 行目の駅と同じです").arg(b.text).arg(aLine)
                : QStringLiteral("駅番号の順が逆になります: %1 行目の %2 の次が %3")
                      .arg(aLine)
                      .arg(a.text, b.text));
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString km(double d)
{
    return QString::number(d, 'f', 1);
}

// Gaps, turns back and a loop's ends along the stations at placed (indexes into stations, in
// line order, at least three).
void checkPath(LineCheck& check, const QString& path, const LineKnownCases* known,
               const std::vector<int>& placed)
{
    const auto distance = [&](int i, int j) {
        const StationMeta& a = check.stations[i].meta;
        const StationMeta& b = check.stations[j].meta;
        return DistanceKm(a.latitude, a.longitude, b.latitude, b.longitude);
    };
    const auto isKnown = [&](int i, const char* kind) {
        return known && known->covers(path, check.stations[i].name, QString::fromLatin1(kind));
    };
    const auto name = [&](int i) { return check.stations[i].name; };
    std::vector<double> gaps;
    for (size_t k = 1; k < placed.size(); ++k)
        gaps.push_back(distance(placed[k - 1], placed[k]));
    const double mid = median(gaps);
    for (size_t k = 1; k < placed.size(); ++k) {
        const double d = gaps[k - 1];
        if (d > kGapMedianFactor * mid && d > kGapMinKm && !isKnown(placed[k], "gap"))
            check.report(check.stations[placed[k]].line,
                         QStringLiteral("前の駅 %1 から %2 km 離れています (駅間の中央値 %3 km の "
                                        "%4 倍より長い): %5")
                             .arg(name(placed[k - 1]), km(d), km(mid))
                             .arg(kGapMedianFactor)
                             .arg(name(placed[k])));
    }
    for (size_t k = 1; k + 1 < placed.size(); ++k) {
        const double a = gaps[k - 1];
        const double b = gaps[k];
        const double c = distance(placed[k - 1], placed[k + 1]);
        const double turn
            = TurnDegrees(check.stations[placed[k - 1]].meta, check.stations[placed[k]].meta,
                          check.stations[placed[k + 1]].meta);
        const int line = check.stations[placed[k]].line;
        if (c < kBackRatio * a || turn > kBackTurnDegrees) {
            if (!isKnown(placed[k], "back"))
                check.report(line,
                             QStringLiteral("線路が %1 で折り返しています: 次の駅 %2 は前の駅 %3 "
                                            "から %4 km (%1 まで %5 km)、曲がる角度 %6 度")
                                 .arg(name(placed[k]), name(placed[k + 1]), name(placed[k - 1]),
                                      km(c), km(a))
                                 .arg(qRound(turn)));
        } else if (a + b > kDetourRatio * c && a + b - c > kDetourMinKm
                   && !isKnown(placed[k], "detour")) {
            check.report(line,
                         QStringLiteral("%1 が遠回りです: %2 から %3 へ直接なら %4 km、%1 を通ると "
                                        "%5 km")
                             .arg(name(placed[k]), name(placed[k - 1]), name(placed[k + 1]), km(c),
                                  km(a + b)));
        }
    }
    const int last = int(check.stations.size()) - 1;
    if (!check.loop || placed.front() != 0 || placed.back() != last)
        return;
    const double ends = distance(last, 0);
    if (ends > kLoopEndsMedianFactor * mid && !isKnown(0, "gap"))
        check.report(check.stations[0].line,
                     QStringLiteral("環状線の最後の駅 %1 と最初の駅 %2 が %3 km 離れています "
                                    "(駅間の中央値 %4 km の %5 倍より長い)")
                         .arg(name(last), name(0), km(ends), km(mid))
                         .arg(kLoopEndsMedianFactor));
}

} // namespace

double TurnDegrees(const StationMeta& a, const StationMeta& b, const StationMeta& c)
{
    constexpr double rad = std::numbers::pi / 180;
    const auto bearing = [](const StationMeta& from, const StationMeta& to) {
        const double y
            = std::sin((to.longitude - from.longitude) * rad) * std::cos(to.latitude * rad);
        const double x = std::cos(from.latitude * rad) * std::sin(to.latitude * rad)
            - std::sin(from.latitude * rad) * std::cos(to.latitude * rad)
                * std::cos((to.longitude - from.longitude) * rad);
        return std::atan2(y, x) / rad;
    };
    const double change = bearing(b, c) - bearing(a, b);
    return std::abs(std::fmod(change + 540.0, 360.0) - 180.0);
}

double DistanceKm(double lat1, double lng1, double lat2, double lng2)
{
    constexpr double kEarthRadiusKm = 6371.0;
    constexpr double rad = std::numbers::pi / 180;
    const double dLat = (lat2 - lat1) * rad;
    const double dLng = (lng2 - lng1) * rad;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2)
        + std::cos(lat1 * rad) * std::cos(lat2 * rad) * std::sin(dLng / 2) * std::sin(dLng / 2);
    return 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
}

void CheckStationNumbers(LineCheck& check, const QString& path, const LineKnownCases* known)
{
    const auto isKnown = [&](int i) {
        return known && known->covers(path, check.stations[i].name, QStringLiteral("number"));
    };
    std::map<QString, std::vector<Number>> byPrefix;
    for (int i = 0; i < int(check.stations.size()); ++i) {
        for (const QString& text : check.stations[i].meta.numbers) {
            QString prefix;
            std::array<int, 3> key;
            if (splitNumber(text, &prefix, &key))
                byPrefix[prefix].push_back({i, text, key});
        }
    }
    for (const auto& [prefix, seq] : byPrefix)
        checkSequence(check, seq, check.loop, isKnown);
}

void CheckPositions(LineCheck& check, const QString& path, const LineKnownCases* known)
{
    std::vector<int> placed;
    int missing = 0, firstMissing = -1;
    const int n = int(check.stations.size());
    for (int i = 0; i < n; ++i) {
        const CheckedStation& s = check.stations[i];
        if (!s.meta.hasPosition) {
            firstMissing = firstMissing < 0 ? i : firstMissing;
            ++missing;
        } else if (s.meta.latitude < kJapanSouth || s.meta.latitude > kJapanNorth
                   || s.meta.longitude < kJapanWest || s.meta.longitude > kJapanEast) {
            check.report(s.line,
                         QStringLiteral("位置が日本の外です (北緯 %1〜%2 度、東経 %3〜%4 "
                                        "度の外): %5 @%6/%7")
                             .arg(kJapanSouth)
                             .arg(kJapanNorth)
                             .arg(kJapanWest)
                             .arg(kJapanEast)
                             .arg(s.name)
                             .arg(s.meta.latitude)
                             .arg(s.meta.longitude));
        } else {
            placed.push_back(i);
        }
    }
    if (missing > 0 && missing < n)
        check.report(check.stations[firstMissing].line,
                     QStringLiteral("位置のない駅があります (%1 駅のうち %2 駅。ほかの駅には"
                                    "位置があります): 最初は %3")
                         .arg(n)
                         .arg(missing)
                         .arg(check.stations[firstMissing].name),
                     LineProblem::Severity::Warning);
    if (placed.size() >= 3)
        checkPath(check, path, known, placed);
}

void CheckAlongTrack(LineCheck& check, const TrackAtlas& atlas)
{
    const auto it = atlas.lines.constFind(check.lineName);
    if (it == atlas.lines.cend()) {
        if (IsImportedLine(check.meta))
            check.report(1, QStringLiteral("線路の形のファイルにない路線です"));
        return;
    }
    const TrackLine& track = *it;
    QStringList names;
    for (const CheckedStation& s : check.stations)
        names.append(s.name);
    const int count = int(names.size());
    const int pairs = count < 2 ? 0 : (check.loop && count > 2 ? count : count - 1);
    if (track.stationCount != count || track.stationHash != TrackStationHash(names)
        || track.ways.size() != pairs) {
        check.report(1,
                     QStringLiteral("線路の形のファイルを作ったあとで駅が変わっています"
                                    "。取り込みをやり直してください"));
        return;
    }
    // Where each station stands on the track: the ends of the ways that start or end there.
    QList<QList<TrackPoint>> standsAt(count);
    for (int i = 0; i < pairs; ++i) {
        const TrackWay& way = track.ways[i];
        if (way.kind != TrackWay::Track || way.points.isEmpty())
            continue;
        standsAt[i].append(way.points.first().at);
        standsAt[(i + 1) % count].append(way.points.last().at);
    }
    for (int i = 0; i < pairs; ++i) {
        const int to = (i + 1) % count;
        const CheckedStation& a = check.stations[i];
        const CheckedStation& b = check.stations[to];
        const QString ends = a.name + QStringLiteral(" → ") + b.name;
        const TrackWay& way = track.ways[i];
        if (way.kind == TrackWay::Missing
            || (way.kind == TrackWay::Track && way.points.isEmpty())) {
            check.report(b.line,
                         ends + QStringLiteral(": ほかの駅を通らずに線路でつながっていません"));
            continue;
        }
        if (way.kind != TrackWay::Track)
            continue;
        QList<TrackPoint> path;
        path.reserve(way.points.size());
        for (const TrackWayPoint& p : way.points)
            path.append(p.at);
        const auto farFrom = [&](const CheckedStation& s, const TrackPoint& p) {
            return s.meta.hasPosition
                && DistanceToPath(s.meta.latitude, s.meta.longitude, {p}) > kTrackTolerance;
        };
        if (farFrom(a, path.first()) || farFrom(b, path.last())) {
            check.report(
                b.line,
                ends + QStringLiteral(": 線路の形が駅から離れたところで始まるか終わります"));
            continue;
        }
        for (int c = 0; c < count; ++c) {
            if (c == i || c == to || names[c] == a.name || names[c] == b.name)
                continue;
            for (const TrackPoint& at : standsAt[c]) {
                if (DistanceToPath(at.lat * 1e-5, at.lng * 1e-5, path) <= kTrackPassMetres) {
                    check.report(b.line,
                                 ends + QStringLiteral(": 線路の上で %1 を通ります").arg(names[c]));
                    c = count;
                    break;
                }
            }
        }
    }
}
