// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linefile.h"
#include "lib_util.h"
#include "textfile.h"

#include <QCryptographicHash>

namespace {

QString nameOf(const QString& raw)
{
    return TrimFieldBlanks(StripComment(raw));
}

LineFileStation stationOf(int line, const QString& raw)
{
    LineFileStation s {line, raw, {}, {}};
    SplitCsvLine(StripComment(raw), s.rawFields);
    // A blank of either width at the end of a field is never meant: a reading that ended in one
    // could not be answered.
    for (std::size_t i = 0; i < s.fields.size(); ++i)
        s.fields[i] = TrimFieldBlanks(s.rawFields[i]);
    return s;
}

} // namespace

LineFile ParseLineFile(TextFile& file, const LineFileOptions& options)
{
    LineFile out;
    out.utf8 = file.isUtf8();
    out.lfLineEnds = file.hasLfLineEnds();
    out.rawName = file.readLine();
    if (file.lineTooLong()) {
        out.tooLongLine = 1;
        return out;
    }
    out.name = nameOf(out.rawName);
    int line = 1;
    const auto more = [&] {
        if (options.beforeLine)
            options.beforeLine(out);
        return !file.atEnd();
    };
    const auto tooLong = [&] {
        if (file.lineTooLong())
            out.tooLongLine = line;
        return out.tooLongLine > 0;
    };
    while (more()) {
        const QString raw = file.readLine();
        ++line;
        if (tooLong())
            return out;
        if (raw == QLatin1String(kLineFileMarker)) {
            out.marker = true;
            break;
        }
        if (!out.loop && TrimFieldBlanks(raw) == QStringView(kLineLoopMark)) {
            out.loop = true;
            out.loopLine = line;
        }
        if (options.keepFreeText)
            out.freeText.append(raw);
        if (out.metaText.size() < kMaxMetaLines) {
            const QString text = TrimFieldBlanks(raw);
            if (text.startsWith(u'@') || text.startsWith(u"出典"))
                out.metaText.append(text);
        }
    }
    if (!out.marker || file.atEnd())
        return out;
    while (more()) {
        const QString raw = file.readLine();
        ++line;
        if (tooLong())
            return out;
        if (options.stationLimit >= 0 && out.stations.size() >= options.stationLimit) {
            out.overLimit = true;
            break;
        }
        out.stations.append(stationOf(line, raw));
    }
    return out;
}

QString ReadLineFileName(const QString& path)
{
    TextFile file;
    if (!file.open(path) || file.isEmpty())
        return {};
    const QString raw = file.readLine();
    return file.lineTooLong() ? QString() : nameOf(raw);
}

QString LineKey(const QString& lineName, const QStringList& stationsAndReadings)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(lineName.toUtf8());
    for (const QString& s : stationsAndReadings) {
        hash.addData(QByteArrayView("\n"));
        hash.addData(s.toUtf8());
    }
    return QString::fromLatin1(hash.result().toHex());
}
