// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "trackgraph.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <queue>
#include <vector>

namespace {

struct Xy
{
    double x = 0;
    double y = 0;
};

// A flat frame in metres around one latitude: over a line's few hundred kilometres the error
// is far below the tolerances the check uses.
struct Frame
{
    double kx = 0;
    double ky = 110574;
    explicit Frame(double latitude) : kx(111320 * std::cos(latitude * std::numbers::pi / 180)) { }
    Xy of(double latitude, double longitude) const { return {longitude * kx, latitude * ky}; }
    Xy of(const TrackPoint& p) const { return of(p.lat * 1e-5, p.lng * 1e-5); }
};

double length(Xy a, Xy b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The distance from p to the segment ab; *t gets where the nearest point lies, 0 at a, 1 at b.
double segmentDistance(Xy p, Xy a, Xy b, double* t)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double squared = dx * dx + dy * dy;
    double u = squared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / squared : 0;
    u = std::clamp(u, 0.0, 1.0);
    if (t)
        *t = u;
    return length(p, {a.x + u * dx, a.y + u * dy});
}

TrackPoint pointOn(const TrackPoint& a, const TrackPoint& b, double t)
{
    return {int(std::lround(a.lat + t * (b.lat - a.lat))),
            int(std::lround(a.lng + t * (b.lng - a.lng)))};
}

quint64 keyOf(const TrackPoint& p)
{
    return (quint64(quint32(p.lat)) << 32) | quint32(p.lng);
}

struct Graph
{
    std::vector<TrackPoint> points;
    std::vector<int> stationOf; // the station a node stands for, -1 for plain track
    std::vector<std::vector<std::pair<int, double>>> next;

    int add(const TrackPoint& p, int station = -1)
    {
        points.push_back(p);
        stationOf.push_back(station);
        next.emplace_back();
        return int(points.size()) - 1;
    }
    void join(int a, int b, double metres)
    {
        next[a].emplace_back(b, metres);
        next[b].emplace_back(a, metres);
    }
};

struct Insertion
{
    double t = 0;
    int station = 0;
};

} // namespace

TrackCheck CheckTrack(const QList<QList<TrackPoint>>& pieces, const QList<TrackStation>& stations,
                      bool loop)
{
    TrackCheck check;
    double meanLatitude = 0;
    for (const TrackStation& s : stations)
        meanLatitude += s.latitude / std::max<qsizetype>(1, stations.size());
    const Frame frame(meanLatitude);

    // The pieces' points, shared where pieces meet, and the segments between them.
    Graph graph;
    QHash<quint64, int> nodeAt;
    std::vector<std::pair<int, int>> segments;
    std::vector<int> ends; // each piece's first and last node
    for (const QList<TrackPoint>& piece : pieces) {
        int last = -1;
        for (const TrackPoint& p : piece) {
            auto it = nodeAt.find(keyOf(p));
            const int node = it != nodeAt.end() ? *it : graph.add(p);
            if (it == nodeAt.end())
                nodeAt.insert(keyOf(p), node);
            if (last >= 0 && node != last)
                segments.emplace_back(last, node);
            if (last < 0)
                ends.push_back(node);
            last = node;
        }
        if (last >= 0)
            ends.push_back(last);
    }
    std::vector<int> degree(graph.points.size(), 0), neighbour(graph.points.size(), -1);
    for (const auto& [a, b] : segments) {
        ++degree[a];
        ++degree[b];
        neighbour[a] = b;
        neighbour[b] = a;
    }
    // A piece that stops just short of another (a gap in the drawing) is joined to the nearest
    // point of track within kTrackJoin.
    std::vector<std::pair<int, int>> gaps;
    for (int end : ends) {
        if (degree[end] != 1)
            continue;
        const Xy p = frame.of(graph.points[end]);
        int best = -1;
        double bestDistance = kTrackJoin;
        for (int n = 0; n < int(graph.points.size()); ++n) {
            if (n == end)
                continue;
            const double d = length(p, frame.of(graph.points[n]));
            if (d < bestDistance && n != neighbour[end]) {
                best = n;
                bestDistance = d;
            }
        }
        if (best >= 0)
            gaps.emplace_back(end, best);
    }
    segments.insert(segments.end(), gaps.begin(), gaps.end());

    // Every station is placed on each segment that lies within kTrackParallel of its nearest.
    std::vector<std::vector<Insertion>> onSegment(segments.size());
    for (int s = 0; s < stations.size(); ++s) {
        const Xy p = frame.of(stations[s].latitude, stations[s].longitude);
        std::vector<std::pair<double, double>> found(segments.size());
        double nearest = std::numeric_limits<double>::infinity();
        for (size_t i = 0; i < segments.size(); ++i) {
            double t = 0;
            const double d = segmentDistance(p, frame.of(graph.points[segments[i].first]),
                                             frame.of(graph.points[segments[i].second]), &t);
            found[i] = {d, t};
            nearest = std::min(nearest, d);
        }
        if (nearest > kTrackTolerance) {
            check.offTrack.append(s);
            continue;
        }
        for (size_t i = 0; i < segments.size(); ++i) {
            if (found[i].first <= nearest + kTrackParallel)
                onSegment[i].push_back({found[i].second, s});
        }
    }
    // Each segment becomes a chain through the stations placed on it.
    for (size_t i = 0; i < segments.size(); ++i) {
        auto& placed = onSegment[i];
        std::sort(placed.begin(), placed.end(),
                  [](const Insertion& a, const Insertion& b) { return a.t < b.t; });
        const auto [a, b] = segments[i];
        int from = a;
        for (const Insertion& at : placed) {
            const int node = graph.add(pointOn(graph.points[a], graph.points[b], at.t), at.station);
            graph.join(from, node,
                       length(frame.of(graph.points[from]), frame.of(graph.points[node])));
            from = node;
        }
        graph.join(from, b, length(frame.of(graph.points[from]), frame.of(graph.points[b])));
    }

    std::vector<std::vector<int>> nodesOf(stations.size());
    for (int n = 0; n < int(graph.points.size()); ++n) {
        if (graph.stationOf[n] >= 0)
            nodesOf[graph.stationOf[n]].push_back(n);
    }

    const int count = int(stations.size());
    const int pairs = count < 2 ? 0 : (loop && count > 2 ? count : count - 1);
    std::vector<double> distance(graph.points.size());
    std::vector<int> previous(graph.points.size());
    for (int i = 0; i < pairs; ++i) {
        TrackPair pair;
        pair.from = i;
        pair.to = (i + 1) % count;
        if (nodesOf[pair.from].empty() || nodesOf[pair.to].empty()) {
            pair.result = TrackPair::OffTrack;
            check.pairs.append(pair);
            continue;
        }
        // Dijkstra from every node of the first station, never through a third station.
        std::fill(distance.begin(), distance.end(), std::numeric_limits<double>::infinity());
        std::fill(previous.begin(), previous.end(), -1);
        using Item = std::pair<double, int>;
        std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
        for (int n : nodesOf[pair.from]) {
            distance[n] = 0;
            queue.emplace(0, n);
        }
        int reached = -1;
        while (!queue.empty()) {
            const auto [d, n] = queue.top();
            queue.pop();
            if (d > distance[n])
                continue;
            if (graph.stationOf[n] == pair.to) {
                reached = n;
                break;
            }
            for (const auto& [m, metres] : graph.next[n]) {
                const int station = graph.stationOf[m];
                if (station >= 0 && station != pair.from && station != pair.to)
                    continue;
                if (d + metres < distance[m]) {
                    distance[m] = d + metres;
                    previous[m] = n;
                    queue.emplace(distance[m], m);
                }
            }
        }
        if (reached >= 0) {
            pair.result = TrackPair::Joined;
            for (int n = reached; n >= 0; n = previous[n]) {
                if (pair.path.isEmpty() || pair.path.last() != graph.points[n])
                    pair.path.append(graph.points[n]);
            }
            std::reverse(pair.path.begin(), pair.path.end());
        }
        check.pairs.append(pair);
    }
    return check;
}

QString DescribeTrackPair(const TrackPair& pair, const QList<TrackStation>& stations)
{
    const QString ends
        = stations.value(pair.from).name + QStringLiteral(" → ") + stations.value(pair.to).name;
    switch (pair.result) {
    case TrackPair::Joined:
        return ends;
    case TrackPair::OffTrack:
        return ends + QStringLiteral(": 駅が線路から %1 m より離れています").arg(kTrackTolerance);
    case TrackPair::NotJoined:
        break;
    }
    return ends + QStringLiteral(": ほかの駅を通らずに線路でつながっていません");
}

QList<double> SimplificationWeights(const QList<TrackPoint>& path)
{
    QList<double> weights(path.size(), 0);
    if (path.isEmpty())
        return weights;
    const double inf = std::numeric_limits<double>::infinity();
    weights.first() = weights.last() = inf;
    const Frame frame(path.first().lat * 1e-5);
    struct Span
    {
        qsizetype first, last;
        double cap;
    };
    std::vector<Span> spans {{0, path.size() - 1, inf}};
    while (!spans.empty()) {
        const Span span = spans.back();
        spans.pop_back();
        if (span.last - span.first < 2)
            continue;
        const Xy a = frame.of(path[span.first]), b = frame.of(path[span.last]);
        qsizetype farthest = span.first + 1;
        double far = -1;
        for (qsizetype k = span.first + 1; k < span.last; ++k) {
            const double d = segmentDistance(frame.of(path[k]), a, b, nullptr);
            if (d > far) {
                far = d;
                farthest = k;
            }
        }
        // A point is never kept at a tolerance where the point that splits its span is not.
        weights[farthest] = std::min(far, span.cap);
        spans.push_back({span.first, farthest, weights[farthest]});
        spans.push_back({farthest, span.last, weights[farthest]});
    }
    return weights;
}

double DistanceToPath(double latitude, double longitude, const QList<TrackPoint>& path,
                      double* along)
{
    const Frame frame(latitude);
    const Xy p = frame.of(latitude, longitude);
    double best = std::numeric_limits<double>::infinity(), bestAlong = 0, walked = 0;
    if (path.size() == 1)
        best = length(p, frame.of(path.first()));
    for (qsizetype i = 1; i < path.size(); ++i) {
        const Xy a = frame.of(path[i - 1]), b = frame.of(path[i]);
        double t = 0;
        const double d = segmentDistance(p, a, b, &t);
        if (d < best) {
            best = d;
            bestAlong = walked + t * length(a, b);
        }
        walked += length(a, b);
    }
    if (along)
        *along = bestAlong;
    return best;
}
