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

std::array<StationRecord, kStationTableSize> StationTable;
std::int32_t gStationCount = 0;
QString gLineName;
QString gLineFilePath;

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
    for (std::int32_t i = AnswerOffset(gGameMode); i < gStationCount; ++i) {
        if (StationTable[i].IsOK != 0)
            ++count;
    }
    return count;
}

void ResetStationTable()
{
    ClearStationName();
    ClearScore();
    ClearQuestionLog();
    gSubsetOrigin.clear();
    gLineName.clear();
    gLineFilePath.clear();
}
