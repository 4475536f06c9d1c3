// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationdictionary.h"

#include "codec.h"

#include <QByteArrayMatcher>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

// EUC-JIS-2004 is what glibc calls EUC-JISX0213. Undecodable bytes are dropped: a line of the
// dictionary that cannot be read is one station fewer, never a failure.
QString decodeEucJis2004(const QByteArray& bytes)
{
    QString text = DecodeBytes(bytes, "EUC-JISX0213").value_or(QString());
    return text.remove(QChar::ReplacementCharacter);
}

// ENAMDICT's reading as a line file writes it: hiragana, without the ・ that mirrors one in the
// name (三宮・花時計前 [さんのみや・はなどけいまえ]).
QString hiragana(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6)
            out += QChar(char16_t(c.unicode() - 0x60));
        else if (c != u'・')
            out += c;
    }
    return out;
}

// The lines of ENAMDICT that hold a station entry. The file is some 25 MB of names of every
// kind and about 8000 stations: the search runs over the bytes (ASCII never occurs inside an
// EUC-JP character), and only what it finds is decoded.
QByteArray stationLines(QByteArrayView bytes)
{
    static const QByteArrayMatcher mark(QByteArrayLiteral("/(st)"));
    QByteArray out;
    qsizetype from = 0;
    for (qsizetype hit; (hit = mark.indexIn(bytes, from)) >= 0;) {
        const qsizetype start = bytes.lastIndexOf('\n', hit) + 1;
        qsizetype end = bytes.indexOf('\n', hit);
        if (end < 0)
            end = bytes.size();
        out.append(bytes.sliced(start, end - start)).append('\n');
        from = end;
    }
    return out;
}

} // namespace

void StationDictionary::add(const QString& name, QString reading)
{
    // "…えき /…駅/" is the same station as "… /…/".
    if (name.endsWith(u'駅') && reading.endsWith(QStringLiteral("えき")) && reading.size() > 2)
        reading.chop(2);
    QStringList& known = readings_[fold(name)];
    if (!known.contains(reading))
        known.append(reading);
}

void StationDictionary::sortReadings()
{
    for (QStringList& r : readings_)
        std::sort(r.begin(), r.end());
}

QString StationDictionary::enamdictDefaultPath()
{
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                  QStringLiteral("edict/enamdict"));
}

bool StationDictionary::loadEnamdict(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    readings_.clear();
    // Mapped rather than read: the search touches every byte once, and copying them costs more.
    const uchar* mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr;
    const QByteArray read = mapped ? QByteArray() : file.readAll();
    const QByteArrayView bytes
        = mapped ? QByteArrayView(mapped, file.size()) : QByteArrayView(read);
    const QString text = DecodeBytes(stationLines(bytes), "EUC-JP").value_or(QString());
    // "ＪＲ桂駅 [ジェイアールかつらえき] /(st) JR Katsura Station/"; a name in kana alone has no
    // reading in brackets.
    for (const QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype blank = line.indexOf(u' ');
        if (blank <= 0 || line.contains(QChar::ReplacementCharacter))
            continue;
        const QStringView name = line.left(blank);
        QStringView reading = name;
        if (line.mid(blank + 1).startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']', blank);
            if (close < 0)
                continue;
            reading = line.mid(blank + 2, close - blank - 2);
        }
        add(name.toString(), hiragana(reading));
    }
    sortReadings();
    return !readings_.isEmpty();
}

QString StationDictionary::fold(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'ヶ')
            out += u'ケ';
        else if (c == u'ヵ')
            out += u'カ';
        else if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
            out += QChar(char16_t(c.unicode() - 0xFF01 + 0x21));
        else
            out += c;
    }
    if (out.size() > 1 && out.endsWith(u'駅'))
        out.chop(1);
    return out;
}

QString StationDictionary::defaultPath()
{
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                  QStringLiteral("skk/SKK-JISYO.station"));
}

bool StationDictionary::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    loadText(decodeEucJis2004(file.readAll()));
    return !readings_.isEmpty();
}

void StationDictionary::loadText(const QString& text)
{
    readings_.clear();
    for (const QStringView line : QStringView(text).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        const qsizetype blank = line.indexOf(u' ');
        if (blank <= 0)
            continue;
        const QString reading = line.left(blank).toString();
        for (const QStringView candidate : line.mid(blank + 1).split(u'/', Qt::SkipEmptyParts)) {
            const QStringView name = candidate.left(candidate.indexOf(u';'));
            if (name.isEmpty() || name.trimmed().isEmpty())
                continue;
            add(name.toString(), reading);
        }
    }
    sortReadings();
}

QStringList StationDictionary::readingsOf(const QString& name) const
{
    return readings_.value(fold(name));
}
