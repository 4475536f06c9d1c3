// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The utility module: small stateless procedures for texts, paths, files and waiting.
// Characters are UTF-16 code units; positions in the descriptions count from 1.

#include <QString>
#include <cstdint>
#include <span>

class TextFile;

// True when text begins with prefix. mode 0 compares exactly, mode 1 ignores case.
bool StartsWith(const QString& text, const QString& prefix, int compareMode);

// Joins folder and name with "/" unless one of them already supplies it.
QString BuildFilePath(const QString& folder, const QString& name);

// The text with blanks (U+0020 only; tabs and line breaks stay) removed from both ends.
QString TrimBlanks(QStringView text);

// The text with half-width (U+0020) and ideographic (U+3000) blanks removed from both ends: an
// input method often leaves a full-width blank after a reading typed into a line file.
QString TrimFieldBlanks(QStringView text);

// The text before the first ";", with blanks trimmed from both ends.
QString StripComment(const QString& line);

// Reads lines until one equals marker exactly or the file ends; true when found.
// Lets pending events run before each line.
bool SeekMarkerLine(const QString& marker, TextFile& file);

// text followed by blanks up to width bytes (two bytes per UTF-16 code unit).
// A width smaller than the text adds nothing.
QString PadRightBytes(const QString& text, std::int32_t width);

// Columns text takes in the fixed-pitch face: one for a half-width character (ASCII, Latin
// letters, half-width kana), two for a full-width one.
std::int32_t DisplayColumns(QStringView text);
// text followed by blanks up to width columns; a width smaller than the text adds nothing.
// For full-width text this is exactly PadRightBytes.
QString PadRightColumns(const QString& text, std::int32_t width);

// Last component of a path ("" when the path ends in "/").
QString GetFileNameOf(const QString& path);
// Last component without its extension (from its last "." on).
QString GetBaseNameOf(const QString& path);

// The delimiter character that occurs leftmost in text, or "" when none occurs.
QString FindFirstDelimiter(const QString& text, const QString& delimiters);

// True when a file (not a folder) exists at path. Names compare without regard to case when
// the exact path does not exist, so "LINE/YAMANOTE.TXT" finds "line/yamanote.txt".
bool FileExists(const QString& path);
// The existing path that path names, looking components up without regard to case when the
// exact path does not exist (an exact match wins); "" when nothing matches.
QString ResolvePath(const QString& path);

// Text before the first occurrence of token, or the whole text when it does not occur.
QString LeftOfToken(const QString& text, const QString& token);
// Text from one character after the start of the first occurrence of token, or "".
QString RightOfToken(const QString& text, const QString& token);

// Reads a number from the start of text as a decimal (blanks, sign, digits, point, exponent),
// stopping at the first character that cannot continue it; 0 when the text does not begin
// with one.
double LeadingNumber(const QString& text);

// Add or subtract one in the variable's own type.
template<typename T> void IncrementValue(T& v)
{
    v = static_cast<T>(static_cast<std::int32_t>(v) + 1);
}
template<typename T> void DecrementValue(T& v)
{
    v = static_cast<T>(static_cast<std::int32_t>(v) - 1);
}

// Splits line at every "," into fields (which it first empties); text past the last field is
// dropped. Returns the index of the last field stored.
std::int32_t SplitCsvLine(const QString& line, std::span<QString> fields);

// Waits until more than duration milliseconds have passed, delivering events all the while
// (at least one pass). Safe across the wrap of the tick counter. Returns at once when the
// program is ending.
void WaitTicks(std::int16_t duration);
