// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Romaji to hiragana the way the usual Japanese input method types it in hiragana mode: the
// longest sequence of the table wins, letters wait while they can still grow into a longer
// one, a doubled consonant gives っ, and a lone "n" becomes ん once the next key cannot
// continue it.

#include <QString>
#include <QStringView>
#include <span>
#include <string>
#include <string_view>

namespace romaji {

// One row of the table: typing `keys` gives `kana` and leaves `next` waiting. Only doubled
// consonants leave something: "kk" gives っ and keeps "k" for the following vowel.
struct Rule
{
    std::string_view keys;
    std::u16string_view kana;
    std::string_view next {};
};

// The whole table, sorted by keys.
std::span<const Rule> rules();

// Whether a typed character can be part of a romaji sequence: a-z, '-' and '\''.
// Everything else (capitals, digits, punctuation) is inserted as typed.
bool takesPart(QChar c);

// The live romaji state of one text box.
class Composer
{
public:
    // Takes one typed character; returns the text to commit now (often empty).
    QString feed(QChar c);
    // Commits whatever waits: "n" gives ん, letters that form no kana stay letters.
    QString flush();
    // Drops the last waiting letter; false when nothing waits.
    bool backspace();

    QString pending() const;
    bool hasPending() const { return !m_pending.empty(); }
    void reset() { m_pending.clear(); }

private:
    std::string m_pending; // always a prefix of some key of the table
};

// Feeds every character of keys, then flushes: the whole converted text.
QString convert(QStringView keys);

} // namespace romaji
