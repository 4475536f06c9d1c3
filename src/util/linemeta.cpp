// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linemeta.h"

#include "lib_util.h"
#include <algorithm>

#include <QRegularExpression>

namespace {

const QRegularExpression& numberPattern()
{
    // JY24, M16, 03, NK45-1, K04A: letters, digits, at most one dash.
    static const QRegularExpression re(
        QStringLiteral("^[A-Za-z]{0,3}[0-9]{1,3}[A-Za-z]?(-[0-9]{1,2})?$"));
    return re;
}

const QRegularExpression& positionPattern()
{
    static const QRegularExpression re(
        QStringLiteral("^(-?[0-9]{1,3}(?:\\.[0-9]{1,8})?)/(-?[0-9]{1,3}(?:\\.[0-9]{1,8})?)$"));
    return re;
}

QStringList tokensOf(const QString& text)
{
    QString spaced = text;
    spaced.replace(QChar(0x3000), u' ');
    return spaced.split(u' ', Qt::SkipEmptyParts);
}

struct Key
{
    const char16_t* name;
    QString LineMeta::*field;
};

const Key kKeys[] = {
    {u"読み", &LineMeta::reading}, {u"事業者", &LineMeta::operatorName}, {u"色", &LineMeta::colour},
    {u"記号", &LineMeta::symbol},  {u"区間", &LineMeta::section},
};

constexpr char16_t kPrefectures[] = u"都道府県";
constexpr char16_t kReference[] = u"出典";
constexpr char16_t kFormerName[] = u"旧名";
constexpr char16_t kSuspended[] = u"運休";
constexpr char16_t kRunsOver[] = u"経由";

// "key: value" with a colon of either width; false when there is no colon.
bool splitKey(const QString& text, QString* key, QString* value)
{
    qsizetype colon = text.indexOf(u':');
    const qsizetype wide = text.indexOf(QChar(0xFF1A));
    if (colon < 0 || (wide >= 0 && wide < colon))
        colon = wide;
    if (colon < 0)
        return false;
    *key = TrimFieldBlanks(QStringView(text).left(colon));
    *value = TrimFieldBlanks(QStringView(text).mid(colon + 1));
    return true;
}

} // namespace

bool IsLineColour(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    return re.match(text).hasMatch();
}

StationMeta ParseStationExtra(const QString& extra, bool* malformed)
{
    StationMeta meta;
    QStringList note;
    bool bad = false;
    for (const QString& token : tokensOf(extra)) {
        if (token.size() > 1 && token.front() == u'#') {
            const QString number = token.mid(1);
            if (numberPattern().match(number).hasMatch()) {
                meta.numbers.append(number);
                continue;
            }
            bad = true;
        } else if (token.size() > 1 && token.front() == u'@' && !meta.hasPosition) {
            const auto m = positionPattern().match(QStringView(token).mid(1));
            const double lat = m.hasMatch() ? m.captured(1).toDouble() : 999;
            const double lng = m.hasMatch() ? m.captured(2).toDouble() : 999;
            if (lat >= -90 && lat <= 90 && lng >= -180 && lng <= 180) {
                meta.hasPosition = true;
                meta.latitude = lat;
                meta.longitude = lng;
                continue;
            }
            bad = true;
        }
        note.append(token);
    }
    meta.note = note.join(u' ');
    if (malformed)
        *malformed = bad;
    return meta;
}

QString FormatStationExtra(const StationMeta& meta)
{
    QStringList out;
    for (const QString& n : meta.numbers)
        out.append(u'#' + n);
    if (meta.hasPosition)
        out.append(
            QStringLiteral("@%1/%2").arg(meta.latitude, 0, 'f', 6).arg(meta.longitude, 0, 'f', 6));
    QString note = meta.note;
    note.replace(u',', QChar(0xFF0C)).replace(u';', QChar(0xFF1B));
    if (!note.isEmpty())
        out.append(note);
    return out.join(u' ');
}

LineMeta ParseLineMeta(const QStringList& freeText, int firstLine)
{
    LineMeta meta;
    int line = firstLine - 1;
    for (const QString& raw : freeText) {
        ++line;
        const QString text = TrimFieldBlanks(raw);
        QString key, value;
        if (!text.startsWith(u'@')) {
            if (splitKey(text, &key, &value) && key == QStringView(kReference))
                meta.references.append(value);
            else if (!text.isEmpty())
                meta.prose.append(text);
            continue;
        }
        if (text == QStringView(u"@環状")) {
            meta.loop = true;
            continue;
        }
        if (!splitKey(text.mid(1), &key, &value)) {
            meta.problems.append(
                {line, QStringLiteral("「%1」は「@キー: 値」の形ではありません").arg(text)});
            continue;
        }
        bool known = false;
        for (const Key& k : kKeys) {
            if (key == QStringView(k.name)) {
                meta.*k.field = value;
                known = true;
            }
        }
        if (key == QStringView(u"色") && !IsLineColour(value)) {
            meta.problems.append(
                {line, QStringLiteral("@色「%1」は #RRGGBB の形ではありません").arg(value)});
            meta.colour.clear();
        }
        if (key == QStringView(kPrefectures)) {
            meta.prefectures = tokensOf(value);
            known = true;
        }
        if (key == QStringView(kFormerName)) {
            if (!value.isEmpty())
                meta.formerNames.append(value);
            known = true;
        }
        if (key == QStringView(kSuspended)) {
            SuspendedSection section;
            if (ParseSuspendedSection(value, &section))
                meta.suspended.append(section);
            else
                meta.problems.append(
                    {line,
                     QStringLiteral("@運休「%1」は「駅～駅 YYYY-MM 理由」の形ではありません")
                         .arg(value)});
            known = true;
        }
        if (key == QStringView(kRunsOver)) {
            meta.runsOver = tokensOf(value);
            if (meta.runsOver.isEmpty())
                meta.problems.append({line, QStringLiteral("@経由に路線名がありません")});
            known = true;
        }
        if (!known)
            meta.problems.append({line, QStringLiteral("知らないキー「@%1」").arg(key)});
    }
    meta.colour = meta.colour.toUpper();
    return meta;
}

bool ParseSuspendedSection(const QString& value, SuspendedSection* out)
{
    static const QRegularExpression re(QStringLiteral(
        "^([^～〜~\\s]+)[～〜~]([^～〜~\\s]+)\\s+([0-9]{4})-(0[1-9]|1[0-2])(?:\\s+(.+))?$"));
    QString spaced = value;
    spaced.replace(QChar(0x3000), u' ');
    const auto m = re.match(spaced.trimmed());
    if (!m.hasMatch() || m.captured(1) == m.captured(2))
        return false;
    if (out)
        *out = {m.captured(1), m.captured(2), m.captured(3) + u'-' + m.captured(4),
                m.captured(5).trimmed()};
    return true;
}

QString SuspendedText(const LineMeta& meta)
{
    QStringList parts;
    for (const SuspendedSection& s : meta.suspended)
        parts.append(QStringLiteral("%1～%2 運休中（%3年%4月から）")
                         .arg(s.from, s.to, s.since.left(4))
                         .arg(s.since.mid(5).toInt()));
    return parts.join(u'、');
}

QString LineDescription(const LineMeta& meta)
{
    QStringList parts;
    if (!meta.section.isEmpty())
        parts.append(meta.section);
    if (!meta.prefectures.isEmpty())
        parts.append(meta.prefectures.join(u'・'));
    if (parts.isEmpty() && !meta.prose.isEmpty())
        return meta.prose.front();
    return parts.join(QStringLiteral("　"));
}

bool IsImportedLine(const LineMeta& meta)
{
    return std::any_of(meta.references.begin(), meta.references.end(), [](const QString& r) {
        return r.startsWith(QString::fromUtf16(kImportSourceName));
    });
}
