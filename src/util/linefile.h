// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line file format, read in one place for the game, the checker and the line catalogue.
// Line 1 is the line's name. Free text follows, up to the marker: the first later line that is
// exactly ### with no blank or comment. Every line after the marker is one station,
// "name,reading,extra", where ";" starts a comment; even an empty line is a station.
// A line of the free text that reads @環状 (blanks of either width around it allowed) marks a
// loop line: its last station runs on to its first. Readers that know nothing of the mark
// take it for free text, as any other.

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

class TextFile;

// The marker line that ends the free text.
inline constexpr char kLineFileMarker[] = "###";

// The free-text line that marks a loop line.
inline constexpr char16_t kLineLoopMark[] = u"@環状";

// Most lines of metadata kept from the free text: a file cannot make the game hold more.
inline constexpr int kMaxMetaLines = 64;

// Most stations a line can hold: the game's station table has this many entries.
inline constexpr int kMaxLineStations = 1001;

struct LineFileStation
{
    int line = 0; // its line number in the file; 1 is the name
    QString raw; // the line as read
    // The fields as the game splits them: the comment cut, at most three, the rest dropped.
    std::array<QString, 3> rawFields;
    // The same with blanks of either width trimmed from both ends: name, reading, extra.
    std::array<QString, 3> fields;
};

struct LineFile
{
    bool utf8 = false; // else code page 932
    bool lfLineEnds = false; // else CR (LF)
    QString rawName; // line 1 as read
    QString name; // line 1 without its comment and blanks of either width
    // The lines after the name up to the marker, as read (all of them when there is no marker).
    QStringList freeText;
    // The free-text lines that describe the line ("@..." and "出典:"), kept whether or not the
    // free text is: at most kMaxMetaLines of them.
    QStringList metaText;
    bool marker = false;
    // The free text holds the loop mark (found whether the free text is kept or not).
    bool loop = false;
    int loopLine = 0; // the mark's line number
    QList<LineFileStation> stations;
    // Reading stopped at a station line past LineFileOptions::stationLimit (not kept).
    bool overLimit = false;
    // Reading stopped at this line, longer than TextFile::kMaxLineBytes (0: none was).
    int tooLongLine = 0;
};

struct LineFileOptions
{
    // Called, with what has been read so far, before each line past the first is read and
    // before the end of the file is found: the game lets pending window events run there.
    std::function<void(const LineFile& sofar)> beforeLine;
    // Stations kept at most; one more station line stops the reading (-1: no limit).
    int stationLimit = -1;
    // Whether LineFile::freeText is filled.
    bool keepFreeText = true;
};

// Reads an opened file from its start to its end, or up to a line that is too long.
LineFile ParseLineFile(TextFile& file, const LineFileOptions& options = {});

// The name of the line file at path (exactly as named), without reading past line 1; "" when
// the file cannot be read or is empty.
QString ReadLineFileName(const QString& path);

// Names a line by its name and its stations ("name,reading" each, in file order), so that moving
// or renaming the file keeps its history together.
QString LineKey(const QString& lineName, const QStringList& stationsAndReadings);
