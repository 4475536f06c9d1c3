// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "romaji.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace romaji {
namespace {

// Written row by row for reading; rules() hands it out sorted.
// clang-format off
constexpr Rule kTable[] = {
    // vowels, small vowels
    {"a", u"あ"}, {"i", u"い"}, {"u", u"う"}, {"e", u"え"}, {"o", u"お"},
    {"wu", u"う"}, {"ye", u"いぇ"},
    {"xa", u"ぁ"}, {"xi", u"ぃ"}, {"xu", u"ぅ"}, {"xe", u"ぇ"}, {"xo", u"ぉ"},
    {"la", u"ぁ"}, {"li", u"ぃ"}, {"lu", u"ぅ"}, {"le", u"ぇ"}, {"lo", u"ぉ"},
    {"xyi", u"ぃ"}, {"lyi", u"ぃ"}, {"xye", u"ぇ"}, {"lye", u"ぇ"},

    // k, g (c and q stand in for k)
    {"ka", u"か"}, {"ki", u"き"}, {"ku", u"く"}, {"ke", u"け"}, {"ko", u"こ"},
    {"ca", u"か"}, {"cu", u"く"}, {"co", u"こ"}, {"qu", u"く"},
    {"kya", u"きゃ"}, {"kyi", u"きぃ"}, {"kyu", u"きゅ"}, {"kye", u"きぇ"}, {"kyo", u"きょ"},
    {"qa", u"くぁ"}, {"qi", u"くぃ"}, {"qe", u"くぇ"}, {"qo", u"くぉ"},
    {"kwa", u"くぁ"}, {"kwi", u"くぃ"}, {"kwe", u"くぇ"}, {"kwo", u"くぉ"},
    {"xka", u"ヵ"}, {"lka", u"ヵ"}, {"xke", u"ヶ"}, {"lke", u"ヶ"},
    {"ga", u"が"}, {"gi", u"ぎ"}, {"gu", u"ぐ"}, {"ge", u"げ"}, {"go", u"ご"},
    {"gya", u"ぎゃ"}, {"gyi", u"ぎぃ"}, {"gyu", u"ぎゅ"}, {"gye", u"ぎぇ"}, {"gyo", u"ぎょ"},
    {"gwa", u"ぐぁ"},

    // s, z, j
    {"sa", u"さ"}, {"si", u"し"}, {"shi", u"し"}, {"ci", u"し"}, {"su", u"す"},
    {"se", u"せ"}, {"ce", u"せ"}, {"so", u"そ"},
    {"sya", u"しゃ"}, {"syi", u"しぃ"}, {"syu", u"しゅ"}, {"sye", u"しぇ"}, {"syo", u"しょ"},
    {"sha", u"しゃ"}, {"shu", u"しゅ"}, {"she", u"しぇ"}, {"sho", u"しょ"},
    {"za", u"ざ"}, {"zi", u"じ"}, {"ji", u"じ"}, {"zu", u"ず"}, {"ze", u"ぜ"}, {"zo", u"ぞ"},
    {"zya", u"じゃ"}, {"zyi", u"じぃ"}, {"zyu", u"じゅ"}, {"zye", u"じぇ"}, {"zyo", u"じょ"},
    {"ja", u"じゃ"}, {"ju", u"じゅ"}, {"je", u"じぇ"}, {"jo", u"じょ"},
    {"jya", u"じゃ"}, {"jyi", u"じぃ"}, {"jyu", u"じゅ"}, {"jye", u"じぇ"}, {"jyo", u"じょ"},

    // t, d
    {"ta", u"た"}, {"ti", u"ち"}, {"chi", u"ち"}, {"tu", u"つ"}, {"tsu", u"つ"},
    {"te", u"て"}, {"to", u"と"},
    {"tya", u"ちゃ"}, {"tyi", u"ちぃ"}, {"tyu", u"ちゅ"}, {"tye", u"ちぇ"}, {"tyo", u"ちょ"},
    {"cha", u"ちゃ"}, {"chu", u"ちゅ"}, {"che", u"ちぇ"}, {"cho", u"ちょ"},
    {"cya", u"ちゃ"}, {"cyi", u"ちぃ"}, {"cyu", u"ちゅ"}, {"cye", u"ちぇ"}, {"cyo", u"ちょ"},
    {"tsa", u"つぁ"}, {"tsi", u"つぃ"}, {"tse", u"つぇ"}, {"tso", u"つぉ"},
    {"tha", u"てゃ"}, {"thi", u"てぃ"}, {"thu", u"てゅ"}, {"the", u"てぇ"}, {"tho", u"てょ"},
    {"t'i", u"てぃ"}, {"t'yu", u"てゅ"},
    {"twa", u"とぁ"}, {"twi", u"とぃ"}, {"twu", u"とぅ"}, {"twe", u"とぇ"}, {"two", u"とぉ"},
    {"t'u", u"とぅ"},
    {"xtu", u"っ"}, {"ltu", u"っ"}, {"xtsu", u"っ"}, {"ltsu", u"っ"},
    {"da", u"だ"}, {"di", u"ぢ"}, {"du", u"づ"}, {"de", u"で"}, {"do", u"ど"},
    {"dya", u"ぢゃ"}, {"dyi", u"ぢぃ"}, {"dyu", u"ぢゅ"}, {"dye", u"ぢぇ"}, {"dyo", u"ぢょ"},
    {"dha", u"でゃ"}, {"dhi", u"でぃ"}, {"dhu", u"でゅ"}, {"dhe", u"でぇ"}, {"dho", u"でょ"},
    {"d'i", u"でぃ"}, {"d'yu", u"でゅ"},
    {"dwa", u"どぁ"}, {"dwi", u"どぃ"}, {"dwu", u"どぅ"}, {"dwe", u"どぇ"}, {"dwo", u"どぉ"},
    {"d'u", u"どぅ"},

    // n
    {"na", u"な"}, {"ni", u"に"}, {"nu", u"ぬ"}, {"ne", u"ね"}, {"no", u"の"},
    {"nya", u"にゃ"}, {"nyi", u"にぃ"}, {"nyu", u"にゅ"}, {"nye", u"にぇ"}, {"nyo", u"にょ"},
    {"n", u"ん"}, {"nn", u"ん"}, {"n'", u"ん"}, {"xn", u"ん"},

    // h, f, b, p
    {"ha", u"は"}, {"hi", u"ひ"}, {"hu", u"ふ"}, {"fu", u"ふ"}, {"he", u"へ"}, {"ho", u"ほ"},
    {"hya", u"ひゃ"}, {"hyi", u"ひぃ"}, {"hyu", u"ひゅ"}, {"hye", u"ひぇ"}, {"hyo", u"ひょ"},
    {"fa", u"ふぁ"}, {"fi", u"ふぃ"}, {"fe", u"ふぇ"}, {"fo", u"ふぉ"},
    {"fya", u"ふゃ"}, {"fyu", u"ふゅ"}, {"fyo", u"ふょ"},
    {"hwa", u"ふぁ"}, {"hwi", u"ふぃ"}, {"hwe", u"ふぇ"}, {"hwo", u"ふぉ"}, {"hwyu", u"ふゅ"},
    {"ba", u"ば"}, {"bi", u"び"}, {"bu", u"ぶ"}, {"be", u"べ"}, {"bo", u"ぼ"},
    {"bya", u"びゃ"}, {"byi", u"びぃ"}, {"byu", u"びゅ"}, {"bye", u"びぇ"}, {"byo", u"びょ"},
    {"pa", u"ぱ"}, {"pi", u"ぴ"}, {"pu", u"ぷ"}, {"pe", u"ぺ"}, {"po", u"ぽ"},
    {"pya", u"ぴゃ"}, {"pyi", u"ぴぃ"}, {"pyu", u"ぴゅ"}, {"pye", u"ぴぇ"}, {"pyo", u"ぴょ"},

    // m, y, r
    {"ma", u"ま"}, {"mi", u"み"}, {"mu", u"む"}, {"me", u"め"}, {"mo", u"も"},
    {"mya", u"みゃ"}, {"myi", u"みぃ"}, {"myu", u"みゅ"}, {"mye", u"みぇ"}, {"myo", u"みょ"},
    {"ya", u"や"}, {"yu", u"ゆ"}, {"yo", u"よ"},
    {"xya", u"ゃ"}, {"lya", u"ゃ"}, {"xyu", u"ゅ"}, {"lyu", u"ゅ"}, {"xyo", u"ょ"}, {"lyo", u"ょ"},
    {"ra", u"ら"}, {"ri", u"り"}, {"ru", u"る"}, {"re", u"れ"}, {"ro", u"ろ"},
    {"rya", u"りゃ"}, {"ryi", u"りぃ"}, {"ryu", u"りゅ"}, {"rye", u"りぇ"}, {"ryo", u"りょ"},

    // w
    {"wa", u"わ"}, {"wi", u"うぃ"}, {"we", u"うぇ"}, {"wo", u"を"},
    {"wha", u"うぁ"}, {"whi", u"うぃ"}, {"whu", u"う"}, {"whe", u"うぇ"}, {"who", u"うぉ"},
    {"wyi", u"ゐ"}, {"wye", u"ゑ"},
    {"xwa", u"ゎ"}, {"lwa", u"ゎ"},

    // v
    {"va", u"ゔぁ"}, {"vi", u"ゔぃ"}, {"vu", u"ゔ"}, {"ve", u"ゔぇ"}, {"vo", u"ゔぉ"},
    {"vya", u"ゔゃ"}, {"vyi", u"ゔぃ"}, {"vyu", u"ゔゅ"}, {"vye", u"ゔぇ"}, {"vyo", u"ゔょ"},

    // long vowel mark
    {"-", u"ー"},

    // a doubled consonant (every one but n) is っ, the second letter starts the next kana
    {"bb", u"っ", "b"}, {"cc", u"っ", "c"}, {"dd", u"っ", "d"}, {"ff", u"っ", "f"},
    {"gg", u"っ", "g"}, {"hh", u"っ", "h"}, {"jj", u"っ", "j"}, {"kk", u"っ", "k"},
    {"ll", u"っ", "l"}, {"mm", u"っ", "m"}, {"pp", u"っ", "p"}, {"qq", u"っ", "q"},
    {"rr", u"っ", "r"}, {"ss", u"っ", "s"}, {"tt", u"っ", "t"}, {"vv", u"っ", "v"},
    {"ww", u"っ", "w"}, {"xx", u"っ", "x"}, {"yy", u"っ", "y"}, {"zz", u"っ", "z"},
};
// clang-format on

const std::vector<Rule>& sortedTable()
{
    static const std::vector<Rule> table = [] {
        std::vector<Rule> t(std::begin(kTable), std::end(kTable));
        std::ranges::sort(t, {}, &Rule::keys);
        return t;
    }();
    return table;
}

struct Match
{
    const Rule* exact = nullptr; // the rule whose keys are exactly the sequence
    bool canGrow = false; // some longer key starts with the sequence
};

Match lookUp(std::string_view seq)
{
    const auto& table = sortedTable();
    auto it = std::ranges::lower_bound(table, seq, {}, &Rule::keys);
    Match m;
    if (it != table.end() && it->keys == seq)
        m.exact = &*it++;
    m.canGrow = it != table.end() && it->keys.starts_with(seq);
    return m;
}

QString kanaOf(const Rule& rule)
{
    return QStringView(rule.kana.data(), qsizetype(rule.kana.size())).toString();
}

} // namespace

std::span<const Rule> rules()
{
    return sortedTable();
}

bool takesPart(QChar c)
{
    return (c >= u'a' && c <= u'z') || c == u'-' || c == u'\'';
}

QString Composer::feed(QChar c)
{
    if (!takesPart(c))
        return flush() + c;

    const char key = char(c.unicode());
    QString out;
    for (;;) {
        const std::string seq = m_pending + key;
        const Match m = lookUp(seq);
        if (m.canGrow) {
            m_pending = seq;
            return out;
        }
        if (m.exact) {
            m_pending = m.exact->next;
            return out + kanaOf(*m.exact);
        }
        // Nothing in the table starts with a lone "'": it is just a character.
        if (m_pending.empty())
            return out + c;
        // The key cannot continue what waits: commit that, then take the key afresh.
        out += flush();
    }
}

QString Composer::flush()
{
    if (m_pending.empty())
        return {};
    const Match m = lookUp(m_pending);
    const QString out = m.exact ? kanaOf(*m.exact) : pending();
    m_pending.clear();
    return out;
}

bool Composer::backspace()
{
    if (m_pending.empty())
        return false;
    m_pending.pop_back();
    return true;
}

QString Composer::pending() const
{
    return QString::fromLatin1(m_pending.data(), qsizetype(m_pending.size()));
}

QString convert(QStringView keys)
{
    Composer composer;
    QString out;
    for (const QChar c : keys)
        out += composer.feed(c);
    return out + composer.flush();
}

} // namespace romaji
