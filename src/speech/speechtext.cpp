// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "speechtext.h"

#include <QHash>
#include <QStringList>

namespace speech {

namespace {

constexpr char16_t kHiraganaFirst = u'ぁ';
constexpr char16_t kHiraganaLast = u'ゖ';
constexpr char16_t kKanaShift = u'ァ' - u'ぁ';

// The trace's sections, each a heading line and the lines up to a blank one.
QStringList section(const QString& trace, QLatin1String heading)
{
    QStringList lines;
    bool inside = false;
    for (const QString& raw : trace.split(u'\n')) {
        const QString line = raw.trimmed();
        if (!inside) {
            inside = line == heading;
            continue;
        }
        if (line.isEmpty())
            break;
        lines << line;
    }
    return lines;
}

// One mora (a kana with the small kana after it) as phonemes. The table covers what station
// readings use; small ゃゅょぁぃぅぇぉ after a consonant kana join it.
const QHash<QString, QString>& moraTable()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> t;
        const char* const rows[][2] = {
            {"あ", "a"},      {"い", "i"},       {"う", "u"},       {"え", "e"},
            {"お", "o"},      {"か", "k a"},     {"き", "k i"},     {"く", "k u"},
            {"け", "k e"},    {"こ", "k o"},     {"が", "g a"},     {"ぎ", "g i"},
            {"ぐ", "g u"},    {"げ", "g e"},     {"ご", "g o"},     {"さ", "s a"},
            {"し", "sh i"},   {"す", "s u"},     {"せ", "s e"},     {"そ", "s o"},
            {"ざ", "z a"},    {"じ", "j i"},     {"ず", "z u"},     {"ぜ", "z e"},
            {"ぞ", "z o"},    {"た", "t a"},     {"ち", "ch i"},    {"つ", "ts u"},
            {"て", "t e"},    {"と", "t o"},     {"だ", "d a"},     {"ぢ", "j i"},
            {"づ", "z u"},    {"で", "d e"},     {"ど", "d o"},     {"な", "n a"},
            {"に", "n i"},    {"ぬ", "n u"},     {"ね", "n e"},     {"の", "n o"},
            {"は", "h a"},    {"ひ", "h i"},     {"ふ", "f u"},     {"へ", "h e"},
            {"ほ", "h o"},    {"ば", "b a"},     {"び", "b i"},     {"ぶ", "b u"},
            {"べ", "b e"},    {"ぼ", "b o"},     {"ぱ", "p a"},     {"ぴ", "p i"},
            {"ぷ", "p u"},    {"ぺ", "p e"},     {"ぽ", "p o"},     {"ま", "m a"},
            {"み", "m i"},    {"む", "m u"},     {"め", "m e"},     {"も", "m o"},
            {"や", "y a"},    {"ゆ", "y u"},     {"よ", "y o"},     {"ら", "r a"},
            {"り", "r i"},    {"る", "r u"},     {"れ", "r e"},     {"ろ", "r o"},
            {"わ", "w a"},    {"ゐ", "i"},       {"ゑ", "e"},       {"を", "o"},
            {"ん", "N"},      {"っ", "cl"},      {"ゔ", "v u"},     {"ぁ", "a"},
            {"ぃ", "i"},      {"ぅ", "u"},       {"ぇ", "e"},       {"ぉ", "o"},
            {"ゃ", "y a"},    {"ゅ", "y u"},     {"ょ", "y o"},     {"ゎ", "w a"},
            {"きゃ", "ky a"}, {"きゅ", "ky u"},  {"きょ", "ky o"},  {"ぎゃ", "gy a"},
            {"ぎゅ", "gy u"}, {"ぎょ", "gy o"},  {"しゃ", "sh a"},  {"しゅ", "sh u"},
            {"しょ", "sh o"}, {"しぇ", "sh e"},  {"じゃ", "j a"},   {"じゅ", "j u"},
            {"じょ", "j o"},  {"じぇ", "j e"},   {"ちゃ", "ch a"},  {"ちゅ", "ch u"},
            {"ちょ", "ch o"}, {"ちぇ", "ch e"},  {"ぢゃ", "j a"},   {"ぢゅ", "j u"},
            {"ぢょ", "j o"},  {"にゃ", "ny a"},  {"にゅ", "ny u"},  {"にょ", "ny o"},
            {"ひゃ", "hy a"}, {"ひゅ", "hy u"},  {"ひょ", "hy o"},  {"びゃ", "by a"},
            {"びゅ", "by u"}, {"びょ", "by o"},  {"ぴゃ", "py a"},  {"ぴゅ", "py u"},
            {"ぴょ", "py o"}, {"みゃ", "my a"},  {"みゅ", "my u"},  {"みょ", "my o"},
            {"りゃ", "ry a"}, {"りゅ", "ry u"},  {"りょ", "ry o"},  {"てぃ", "t i"},
            {"でぃ", "d i"},  {"とぅ", "t u"},   {"どぅ", "d u"},   {"てゅ", "ty u"},
            {"でゅ", "dy u"}, {"ふぁ", "f a"},   {"ふぃ", "f i"},   {"ふぇ", "f e"},
            {"ふぉ", "f o"},  {"うぃ", "w i"},   {"うぇ", "w e"},   {"うぉ", "w o"},
            {"いぇ", "y e"},  {"つぁ", "ts a"},  {"つぃ", "ts i"},  {"つぇ", "ts e"},
            {"つぉ", "ts o"}, {"ゔぁ", "v a"},   {"ゔぃ", "v i"},   {"ゔぇ", "v e"},
            {"ゔぉ", "v o"},  {"くぁ", "k w a"}, {"ぐぁ", "g w a"},
        };
        for (const auto& row : rows)
            t.insert(QString::fromUtf8(row[0]), QString::fromUtf8(row[1]));
        return t;
    }();
    return table;
}

QString hiragana(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= kHiraganaFirst + kKanaShift && u <= kHiraganaLast + kKanaShift)
            c = QChar(char16_t(u - kKanaShift));
    }
    return out;
}

// Phonemes joined without spaces, long vowels written one way, so that two spellings of one
// sound compare equal.
QString folded(const QString& phonemes)
{
    QString s = phonemes;
    s.remove(u' ');
    s.replace(QLatin1String("ou"), QLatin1String("oo"));
    s.replace(QLatin1String("ei"), QLatin1String("ee"));
    return s;
}

} // namespace

QString Katakana(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= kHiraganaFirst && u <= kHiraganaLast)
            c = QChar(char16_t(u + kKanaShift));
    }
    return out;
}

QString TraceReading(const QString& trace)
{
    QString reading;
    // surface,part of speech,4 subdivisions,conjugation type and form,base form,reading,...
    constexpr int kReadingField = 8;
    for (const QString& line : section(trace, QLatin1String("[Text analysis result]"))) {
        const QStringList fields = line.split(u',');
        if (fields.size() <= kReadingField)
            return {};
        reading += fields[kReadingField];
    }
    return reading;
}

QString TracePhonemes(const QString& trace)
{
    QStringList phonemes;
    // "start end p1^p2-p3+p4=p5/A:...": p3 is the phoneme spoken now.
    for (const QString& line : section(trace, QLatin1String("[Output label]"))) {
        const qsizetype minus = line.indexOf(u'-');
        const qsizetype plus = line.indexOf(u'+', minus + 1);
        if (minus < 0 || plus < 0)
            continue;
        const QString p = line.mid(minus + 1, plus - minus - 1);
        if (p == QLatin1String("sil") || p == QLatin1String("pau"))
            continue;
        // A, I, U, E, O are the devoiced vowels: the same sound, whispered.
        phonemes << (p.size() == 1 && QStringLiteral("AIUEO").contains(p) ? p.toLower() : p);
    }
    return phonemes.join(u' ');
}

QString KanaPhonemes(const QString& kana)
{
    const QString text = hiragana(kana);
    const QHash<QString, QString>& table = moraTable();
    QStringList out;
    QString lastVowel;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == u'ー') {
            if (lastVowel.isEmpty())
                return {};
            out << lastVowel;
            ++i;
            continue;
        }
        const QString two = text.mid(i, 2);
        QString mora = two.size() == 2 ? table.value(two) : QString();
        qsizetype used = 2;
        if (mora.isEmpty()) {
            mora = table.value(text.mid(i, 1));
            used = 1;
        }
        if (mora.isEmpty())
            return {};
        out << mora;
        const QString last = mora.section(u' ', -1);
        if (last.size() == 1 && QStringLiteral("aiueo").contains(last))
            lastVowel = last;
        i += used;
    }
    return out.join(u' ');
}

bool PhonemesSpell(const QString& phonemes, const QString& kana)
{
    const QString expected = KanaPhonemes(kana);
    return !expected.isEmpty() && folded(phonemes) == folded(expected);
}

Source ChooseSource(const QString& reading, const QString& traceOfName)
{
    const bool sameReading = TraceReading(traceOfName) == Katakana(reading);
    return sameReading && PhonemesSpell(TracePhonemes(traceOfName), reading) ? Source::Name
                                                                             : Source::Reading;
}

} // namespace speech
