// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationtable.h"
#include "gamestate.h"
#include "host.h"
#include "lib_util.h"
#include "linefile.h"
#include "questionlog.h"
#include "textfile.h"

#include <QElapsedTimer>

#include <algorithm>

std::array<StationRecord, kStationTableSize> StationTable;
std::int32_t gStationCount = 0;
QString gLineName;
QString gLineFilePath;
LoadedLine gLine;

namespace {

void reportLoadFailure(const QString& what, const QString& path, const QString& reason = {})
{
    QString text = what + QStringLiteral("\r\n") + path;
    if (!reason.isEmpty())
        text += QStringLiteral("\r\n") + reason;
    platform::messageBox(text, platform::Buttons::Ok, platform::Icon::Exclamation);
}

QString openFailureText(const TextFile& file)
{
    switch (file.error()) {
    case TextFile::Error::NotFound:
        return QStringLiteral("路線ファイルが見つかりません。");
    case TextFile::Error::IsFolder:
        return QStringLiteral("路線ファイルではなくフォルダです。");
    case TextFile::Error::NotRegular:
        return QStringLiteral("路線ファイルではありません。");
    case TextFile::Error::TooLarge:
        return QStringLiteral("路線ファイルが大きすぎます。");
    case TextFile::Error::ReadFailed:
        return QStringLiteral("路線ファイルを読み込めません。");
    case TextFile::Error::CannotOpen:
    case TextFile::Error::None:
        break;
    }
    return QStringLiteral("路線ファイルを開けません。");
}

} // namespace

bool LoadLineFile(const QString& path)
{
    ClearStationName();
    gLineName.clear();
    gLine = {};
    // Names compare without regard to case, as on the systems the line files were written on.
    const QString real = ResolvePath(path);
    TextFile file;
    if (!file.open(real.isEmpty() ? path : real)) {
        reportLoadFailure(openFailureText(file), path, file.errorString());
        return false;
    }
    if (file.isEmpty()) {
        reportLoadFailure(QStringLiteral("路線ファイルが空です。"), path);
        return false;
    }
    LineFileOptions options;
    // Pending window events run while the lines are read; a repaint then already shows the name
    // of the line being read. Every few milliseconds, not before every line: a file of millions
    // of empty lines spent half a minute in the event loop alone.
    QElapsedTimer sinceEvents;
    options.beforeLine = [&sinceEvents](const LineFile& sofar) {
        if (sinceEvents.isValid() && sinceEvents.elapsed() < 15)
            return;
        sinceEvents.start();
        gLineName = sofar.name;
        platform::host().processEvents();
    };
    // The free text is the checker's; millions of empty lines would take a gigabyte here.
    options.keepFreeText = false;
    options.stationLimit = kStationTableSize;
    const LineFile line = ParseLineFile(file, options);
    if (line.tooLongLine > 0) {
        gLineName.clear();
        reportLoadFailure(
            QStringLiteral("路線ファイルの %1 行目が長すぎます。1行は %2 KB までです。")
                .arg(line.tooLongLine)
                .arg(TextFile::kMaxLineBytes / 1024),
            path);
        return false;
    }
    if (!line.marker || line.stations.isEmpty()) {
        // A line without stations cannot be played: say what is missing now, not at the start.
        gLineName.clear();
        reportLoadFailure(line.marker
                              ? QStringLiteral("路線ファイルの「###」の行より後に駅がありません。")
                              : QStringLiteral("路線ファイルに「###」だけの行がありません。"
                                               "駅は「###」の行の次から1行に1駅ずつ書きます。"),
                          path);
        return false;
    }
    if (line.overLimit) {
        // Nothing is written past the table: refuse the whole line rather than cut it short.
        gLineName.clear();
        reportLoadFailure(
            QStringLiteral("駅が多すぎます。読み込めるのは %1 駅までです。").arg(kStationTableSize),
            path);
        return false;
    }

    std::int32_t count = 0;
    for (const LineFileStation& s : line.stations) {
        StationRecord& r = StationTable[count];
        r.StationName = s.fields[0];
        r.Reading = s.fields[1];
        r.Extra = s.fields[2];
        IncrementValue(count);
    }
    gLineName = line.name;
    gStationCount = count;
    // Two stations do not make a round: each would be the other's next and previous at once.
    gLine.loop = line.loop && count >= 3;
    gLine.meta = ParseLineMeta(line.metaText);
    if (gLearning.reversed) {
        std::reverse(StationTable.begin(), StationTable.begin() + count);
        gLine.reversed = true;
    }
    return true;
}

void ClearStationName()
{
    for (StationRecord& r : StationTable) {
        r.StationName.clear();
        r.Reading.clear();
        r.Extra.clear();
    }
    gStationCount = 0;
}

void ClearScore()
{
    for (StationRecord& r : StationTable) {
        r.IsOK = 0;
        r.RemainTenths = 0;
    }
}

std::int32_t GetOKcount()
{
    std::int32_t count = 0;
    const std::int32_t first = gLine.loop ? 0 : AnswerOffset(gGameMode);
    for (std::int32_t i = first; i < gStationCount; ++i) {
        if (StationTable[i].IsOK != 0)
            ++count;
    }
    return count;
}

std::int32_t NextEntry(std::int32_t i)
{
    // A table of some stations of a loop line (a retry) runs round too: its last and first
    // entries make a question only where they are neighbours on the line.
    if (gLine.loop && gStationCount >= 2 && i == gStationCount - 1)
        return 0;
    return i + 1;
}

std::int32_t PreviousEntry(std::int32_t i)
{
    if (gLine.loop && gStationCount >= 2 && i == 0)
        return gStationCount - 1;
    return i - 1;
}

void UnloadLine()
{
    ClearStationName();
    ClearScore();
    ClearQuestionLog();
    gSubset = {};
    gLineName.clear();
    gLineFilePath.clear();
    gLine = {};
}

void ResetStationTable()
{
    UnloadLine();
}
