// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the voice is given to read, and how to tell that it read a station right. Open JTalk
// reads kanji with its own dictionary, which knows the accent of common names but gets many
// stations wrong (放出 is はなてん, not ほうしゅつ). So the name is given when the dictionary's
// reading of it is the station's reading, and the kana reading otherwise. Pure functions over
// the trace Open JTalk writes with -ot.

#include <QString>

namespace speech {

// Hiragana as katakana; anything else as it is.
QString Katakana(const QString& text);

// The reading Open JTalk's front end gave the text (katakana, the dictionary's reading field of
// each word joined), from its trace. "" when the trace has no analysis.
QString TraceReading(const QString& trace);

// The phonemes Open JTalk spoke, from its trace: the labels' centre phonemes, silences and
// pauses left out, devoiced vowels in lower case, one space between them.
QString TracePhonemes(const QString& trace);

// The phonemes a kana reading sounds as, in Open JTalk's names ("しんじゅく" → "sh i N j u k u");
// "" when it holds a character that is not kana.
QString KanaPhonemes(const QString& kana);

// True when the phonemes spell the kana reading. A long vowel may be written either way
// (おう and おお, えい and ええ sound alike in a name).
bool PhonemesSpell(const QString& phonemes, const QString& kana);

enum class Source { Name, Reading };

// The name when the front end read it as the station's reading and its phonemes spell that
// reading, so that the dictionary's accent is heard; the reading otherwise.
Source ChooseSource(const QString& reading, const QString& traceOfName);

} // namespace speech
