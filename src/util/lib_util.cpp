// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lib_util.h"
#include "host.h"
#include "textfile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <climits>

bool StartsWith(const QString& text, const QString& prefix, int compareMode)
{
    const QString head = text.left(prefix.size());
    const Qt::CaseSensitivity cs = compareMode == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    return QString::compare(head, prefix, cs) == 0;
}

QString BuildFilePath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(u'/') || name.startsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

QString TrimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin).toString();
}

QString TrimFieldBlanks(QStringView text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\u3000'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin).toString();
}

QString StripComment(const QString& line)
{
    const qsizetype semicolon = line.indexOf(u';');
    return TrimBlanks(semicolon >= 0 ? QStringView(line).left(semicolon) : QStringView(line));
}

bool SeekMarkerLine(const QString& marker, TextFile& file)
{
    for (;;) {
        platform::host().processEvents();
        if (file.atEnd())
            return false;
        if (file.readLine() == marker)
            return true;
    }
}

QString PadRightBytes(const QString& text, std::int32_t width)
{
    const qint64 blanks = qint64(width) - 2 * qint64(text.size());
    return blanks > 0 ? text + QString(blanks, u' ') : text;
}

namespace {

// Columns a code point takes in the fixed-pitch gothic face: ASCII, the Latin letters and
// half-width kana take one; the JIS symbols among Latin-1 (× ÷ ° ± § ¶ ´ ¨), Greek, Cyrillic,
// kana and kanji take two.
int columnsOf(char32_t c)
{
    switch (c) {
    case 0xA7:
    case 0xA8:
    case 0xB0:
    case 0xB1:
    case 0xB4:
    case 0xB6:
    case 0xD7:
    case 0xF7:
        return 2;
    default:
        break;
    }
    if (c < 0x250 || (c >= 0xFF61 && c <= 0xFF9F) || (c >= 0xFFE8 && c <= 0xFFEE))
        return 1;
    return 2;
}

} // namespace

std::int32_t DisplayColumns(QStringView text)
{
    qint64 columns = 0;
    for (const char32_t c : text.toUcs4())
        columns += columnsOf(c);
    return std::int32_t(std::min<qint64>(columns, INT32_MAX));
}

QString PadRightColumns(const QString& text, std::int32_t width)
{
    const qint64 blanks = qint64(width) - DisplayColumns(text);
    return blanks > 0 ? text + QString(blanks, u' ') : text;
}

QString GetFileNameOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash >= 0 ? path.mid(slash + 1) : path;
}

QString GetBaseNameOf(const QString& path)
{
    const QString name = GetFileNameOf(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 ? name.left(dot) : name;
}

QString FindFirstDelimiter(const QString& text, const QString& delimiters)
{
    qsizetype best = text.size();
    for (const QChar d : delimiters) {
        const qsizetype at = text.indexOf(d);
        if (at >= 0 && at < best)
            best = at;
    }
    return best < text.size() ? QString(text.at(best)) : QString();
}

QString ResolvePath(const QString& path)
{
    if (path.isEmpty())
        return {};
    if (QFileInfo::exists(path))
        return path;
    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString resolved = absolute ? QStringLiteral("/") : QString();
    for (const QString& part : parts) {
        const QString exact = BuildFilePath(resolved, part);
        if (part == QLatin1String(".") || part == QLatin1String("..") || QFileInfo::exists(exact)) {
            resolved = exact;
            continue;
        }
        const QDir dir(resolved.isEmpty() ? QStringLiteral(".") : resolved);
        QString match;
        const QStringList entries = dir.entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& entry : entries) {
            if (QString::compare(entry, part, Qt::CaseInsensitive) == 0) {
                match = entry;
                break;
            }
        }
        if (match.isEmpty())
            return {};
        resolved = BuildFilePath(resolved, match);
    }
    return resolved;
}

bool FileExists(const QString& path)
{
    const QString real = ResolvePath(path);
    return !real.isEmpty() && QFileInfo(real).isFile();
}

QString LeftOfToken(const QString& text, const QString& token)
{
    const qsizetype at = text.indexOf(token);
    return at >= 0 ? text.left(at) : text;
}

QString RightOfToken(const QString& text, const QString& token)
{
    const qsizetype at = text.indexOf(token);
    return at >= 0 ? text.mid(at + 1) : QString();
}

std::int32_t SplitCsvLine(const QString& line, std::span<QString> fields)
{
    for (QString& f : fields)
        f.clear();
    if (fields.empty())
        return -1;
    QString rest = line;
    std::int32_t i = 0;
    for (;;) {
        const qsizetype comma = rest.indexOf(u',');
        if (comma < 0) {
            fields[i] = rest;
            return i;
        }
        fields[i] = rest.left(comma);
        const std::int32_t stored = i;
        IncrementValue(i);
        if (std::size_t(i) >= fields.size())
            return stored;
        rest = rest.mid(comma + 1);
    }
}

void WaitTicks(std::int16_t duration)
{
    platform::Host& h = platform::host();
    // Elapsed time is taken as an unsigned difference, which stays right across the wrap.
    const std::uint32_t start = static_cast<std::uint32_t>(h.tickCount());
    h.processEvents();
    for (;;) {
        if (platform::ending())
            return;
        const std::int64_t elapsed = static_cast<std::uint32_t>(h.tickCount()) - start;
        if (elapsed > duration)
            return;
        h.waitForEvents(static_cast<int>(duration - elapsed + 1));
    }
}

double LeadingNumber(const QString& text)
{
    // Digits, one point and an exponent, after an optional sign and leading blanks.
    QString number;
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        number += text.at(i++);
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            number += c;
            digits = true;
        } else if (c == u'.' && !point) {
            number += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    if (i < text.size() && (text.at(i) == u'e' || text.at(i) == u'E')) {
        QString exponent = QStringLiteral("e");
        qsizetype j = i + 1;
        if (j < text.size() && (text.at(j) == u'+' || text.at(j) == u'-'))
            exponent += text.at(j++);
        const qsizetype firstDigit = j;
        while (j < text.size() && text.at(j).isDigit() && text.at(j).unicode() < 128)
            exponent += text.at(j++);
        if (j > firstDigit)
            number += exponent;
    }
    return number.toDouble();
}
