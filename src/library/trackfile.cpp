// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "trackfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr char kMagic[] = "TBTRACK1";

void putVarint(QByteArray& out, quint64 value)
{
    do {
        quint8 byte = value & 0x7f;
        value >>= 7;
        if (value)
            byte |= 0x80;
        out.append(char(byte));
    } while (value);
}

void putSigned(QByteArray& out, qint64 value)
{
    putVarint(out, (quint64(value) << 1) ^ quint64(value >> 63));
}

void putText(QByteArray& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    putVarint(out, quint64(utf8.size()));
    out.append(utf8);
}

class Reader
{
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) { }
    bool failed() const { return failed_; }
    qsizetype left() const { return bytes_.size() - at_; }
    quint64 varint()
    {
        quint64 value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (at_ >= bytes_.size())
                break;
            const quint8 byte = quint8(bytes_[at_++]);
            value |= quint64(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                return value;
        }
        failed_ = true;
        return 0;
    }
    qint64 zigzag()
    {
        const quint64 v = varint();
        return qint64(v >> 1) ^ -qint64(v & 1);
    }
    // A count of items that take at least minBytes each: never more than the bytes left hold.
    qsizetype count(qsizetype minBytes)
    {
        const quint64 n = varint();
        if (failed_ || n > quint64(left() / std::max<qsizetype>(1, minBytes))) {
            failed_ = true;
            return 0;
        }
        return qsizetype(n);
    }
    quint8 byte()
    {
        if (at_ >= bytes_.size()) {
            failed_ = true;
            return 0;
        }
        return quint8(bytes_[at_++]);
    }
    QByteArray take(qsizetype n)
    {
        if (n > left()) {
            failed_ = true;
            return {};
        }
        const QByteArray part = bytes_.mid(at_, n);
        at_ += n;
        return part;
    }
    QString text() { return QString::fromUtf8(take(count(1))); }

private:
    const QByteArray& bytes_;
    qsizetype at_ = 0;
    bool failed_ = false;
};

} // namespace

int TrackLevelOf(double weight)
{
    int level = -1;
    for (int i = 0; i < kTrackLevels; ++i) {
        if (weight >= kTrackLevelMetres[i])
            level = i;
    }
    return level;
}

quint32 TrackStationHash(const QStringList& names)
{
    quint32 hash = 2166136261u;
    for (const char c : names.join(u'\n').toUtf8()) {
        hash ^= quint8(c);
        hash *= 16777619u;
    }
    return hash;
}

QByteArray WriteTrackFile(const QString& attribution, const QList<TrackLine>& lines)
{
    QByteArray out(kMagic, 8);
    putText(out, attribution);
    putVarint(out, quint64(lines.size()));
    for (const TrackLine& line : lines) {
        putText(out, line.name);
        putVarint(out, quint64(line.stationCount));
        for (int shift = 0; shift < 32; shift += 8)
            out.append(char((line.stationHash >> shift) & 0xff));
        putVarint(out, quint64(line.ways.size()));
        TrackPoint last;
        for (const TrackWay& way : line.ways) {
            out.append(char(way.kind));
            if (way.kind != TrackWay::Track)
                continue;
            putVarint(out, quint64(way.points.size()));
            for (const TrackWayPoint& p : way.points) {
                putSigned(out, qint64(p.at.lat) - last.lat);
                putSigned(out, qint64(p.at.lng) - last.lng);
                out.append(char(p.level));
                last = p.at;
            }
        }
    }
    return out;
}

bool ReadTrackFile(const QByteArray& bytes, TrackAtlas* atlas, QString* error)
{
    *atlas = {};
    const auto fail = [&](const QString& what) {
        *atlas = {};
        if (error)
            *error = what;
        return false;
    };
    if (!bytes.startsWith(QByteArray(kMagic, 8)))
        return fail(QStringLiteral("線路の形のファイルではありません"));
    Reader in(bytes);
    in.take(8);
    atlas->attribution = in.text();
    const qsizetype lines = in.count(7);
    for (qsizetype l = 0; l < lines && !in.failed(); ++l) {
        TrackLine line;
        line.name = in.text();
        line.stationCount = int(std::min<quint64>(in.varint(), 1u << 20));
        for (int shift = 0; shift < 32; shift += 8)
            line.stationHash |= quint32(in.byte()) << shift;
        const qsizetype ways = in.count(1);
        TrackPoint last;
        for (qsizetype w = 0; w < ways && !in.failed(); ++w) {
            TrackWay way;
            const quint8 kind = in.byte();
            if (kind > TrackWay::Straight)
                return fail(QStringLiteral("線路の形のファイルが壊れています"));
            way.kind = TrackWay::Kind(kind);
            if (way.kind == TrackWay::Track) {
                const qsizetype points = in.count(3);
                way.points.reserve(points);
                for (qsizetype p = 0; p < points && !in.failed(); ++p) {
                    const qint64 lat = last.lat + in.zigzag();
                    const qint64 lng = last.lng + in.zigzag();
                    const quint8 level = in.byte();
                    // Nothing outside the globe or above the coarsest level.
                    if (std::abs(lat) > 9000000 || std::abs(lng) > 18000000
                        || level >= kTrackLevels)
                        return fail(QStringLiteral("線路の形のファイルが壊れています"));
                    last = {int(lat), int(lng)};
                    way.points.append({last, level});
                }
            }
            line.ways.append(std::move(way));
        }
        atlas->lines.insert(line.name, std::move(line));
    }
    if (in.failed() || in.left() != 0)
        return fail(QStringLiteral("線路の形のファイルが途中で切れているか、壊れています"));
    return true;
}

TrackAtlas LoadTrackAtlas(const QString& libraryFolder, QString* error)
{
    TrackAtlas atlas;
    const QString path
        = QFileInfo(libraryFolder).absoluteDir().filePath(QLatin1String(kTrackFileName));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("線路の形のファイルがありません: ") + path;
        return atlas;
    }
    // Far above the real file's size: a file this big is not ours.
    if (file.size() > 64 << 20) {
        if (error)
            *error = QStringLiteral("線路の形のファイルが大きすぎます: ") + path;
        return atlas;
    }
    ReadTrackFile(file.readAll(), &atlas, error);
    return atlas;
}
