// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationdictionary.h"

#include "codec.h"

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

} // namespace

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
            // "…えき /…駅/" is the same station as "… /…/".
            QString r = reading;
            if (name.endsWith(u'駅') && r.endsWith(QStringLiteral("えき")) && r.size() > 2)
                r.chop(2);
            QStringList& known = readings_[fold(name.toString())];
            if (!known.contains(r))
                known.append(r);
        }
    }
    for (QStringList& r : readings_)
        std::sort(r.begin(), r.end());
}

QStringList StationDictionary::readingsOf(const QString& name) const
{
    return readings_.value(fold(name));
}
