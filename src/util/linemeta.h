// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a line file says about its line beyond names and readings, in a form the game's own
// reader passes over: lines of the free text that begin with "@" (a key, a colon, a value) and
// tokens in a station's third field. A file without them plays exactly as before.
//
//   JR山手線
//   @読み: じぇいあーるやまのてせん
//   @事業者: JR東日本
//   @色: #9ACD32
//   @記号: JY
//   @区間: 大崎～大崎
//   @都道府県: 東京都
//   @環状
//   @旧名: 山手線
//   @運休: 大崎～品川 2026-05 工事
//   @経由: JR山手線
//   出典: ...
//   ###
//   大崎,おおさき,#JY24 @35.619772/139.728439
//   成田空港,なりたくうこう,#KS44 @35.764/140.386 成田第1ターミナル
//
// In the third field, "#" starts a station number (one per token), "@" the latitude/longitude
// of the station; the other tokens are a note.

#include <QList>
#include <QString>
#include <QStringList>

struct StationMeta
{
    QStringList numbers; // JY24, M16: as on the station's sign
    bool hasPosition = false;
    double latitude = 0; // degrees north
    double longitude = 0; // degrees east
    QString note;
};

// The station numbers, position and note in a station's third field (blanks of either width
// separate the tokens). A token that looks like a number or a position but is malformed is
// kept in the note, and *malformed (when given) is set.
StationMeta ParseStationExtra(const QString& extra, bool* malformed = nullptr);
// The third field that ParseStationExtra reads back as meta: numbers, position (six decimals),
// note. Never holds "," or ";".
QString FormatStationExtra(const StationMeta& meta);

struct LineMetaProblem
{
    int line = 0; // its line number in the file
    QString what;
};

// A section of the line where no train runs for now but rail service is to return (a section
// given up for good is not in the file at all).
struct SuspendedSection
{
    QString from, to; // stations of the line, in the file's order
    QString since; // YYYY-MM
    QString reason; // 大雨, 脱線事故: free text, may be empty
};

struct LineMeta
{
    QString reading; // @読み: the line name's reading, in hiragana
    QString operatorName; // @事業者
    QString colour; // @色: #RRGGBB, upper case
    QString symbol; // @記号: JY, M
    QString section; // @区間: 東京～熱海
    QStringList prefectures; // @都道府県: in the order the line meets them
    bool loop = false; // @環状
    // @旧名, one line each: names this line had in earlier files of the library, so that what
    // a learner did under the old name is found again.
    QStringList formerNames;
    // @運休, one line each: "from～to YYYY-MM reason".
    QList<SuspendedSection> suspended;
    // @経由: for a through service made of other lines of the library, their names in running
    // order, separated by blanks.
    QStringList runsOver;
    QStringList references; // 出典: lines, without the key
    // The free text that is neither a key nor a reference: what a person wrote about the line.
    QStringList prose;
    QList<LineMetaProblem> problems; // an unknown key, a malformed value
};

// Reads the free text of a line file (LineFile::freeText), whose first line is line 2.
LineMeta ParseLineMeta(const QStringList& freeText, int firstLine = 2);

// What the line covers, in one line of Japanese: its section and prefectures, or the first
// line of the prose when there is no section.
QString LineDescription(const LineMeta& meta);

// The open station database the importer makes line files from: an imported file's 出典 line
// begins with this name.
inline constexpr char16_t kImportSourceName[] = u"station_database";
// True when the free text's 出典 begins with the station database's name: the file was
// imported (a file written by hand may name the database later in its 出典, as what it was
// compared with).
bool IsImportedLine(const LineMeta& meta);

// The suspended sections in one line of Japanese: "蟹田～三厩 運休中（2022年8月から）", several
// joined by "、"; empty when there are none.
QString SuspendedText(const LineMeta& meta);

// The value of an @運休 line taken apart; false when it is not "from～to YYYY-MM [reason]".
bool ParseSuspendedSection(const QString& value, SuspendedSection* out);

// True for "#RRGGBB" (hex digits of either case).
bool IsLineColour(const QString& text);
