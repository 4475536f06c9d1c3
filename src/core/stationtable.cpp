// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationtable.h"
#include "gamestate.h"
#include "host.h"
#include "lib_util.h"
#include "questionlog.h"
#include "textfile.h"

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
    gLineName = TrimFieldBlanks(StripComment(file.readLine()));
    const bool marker = SeekMarkerLine(QStringLiteral("###"), file);
    if (!marker || file.atEnd()) {
        // A line without stations cannot be played: say what is missing now, not at the start.
        gLineName.clear();
        reportLoadFailure(marker
                              ? QStringLiteral("路線ファイルの「###」の行より後に駅がありません。")
                              : QStringLiteral("路線ファイルに「###」だけの行がありません。"
                                               "駅は「###」の行の次から1行に1駅ずつ書きます。"),
                          path);
        return false;
    }

    std::int32_t count = 0;
    QString fields[3];
    for (;;) {
        platform::host().processEvents();
        if (file.atEnd())
            break;
        const QString line = file.readLine();
        if (count >= kStationTableSize) {
            // Nothing is written past the table: refuse the whole line rather than cut it short.
            ClearStationName();
            gLineName.clear();
            reportLoadFailure(QStringLiteral("駅が多すぎます。読み込めるのは %1 駅までです。")
                                  .arg(kStationTableSize),
                              path);
            return false;
        }
        SplitCsvLine(StripComment(line), fields);
        StationRecord& r = StationTable[count];
        // A blank of either width at the end of a field is never meant: a reading that ended in
        // one could not be answered.
        r.StationName = TrimFieldBlanks(fields[0]);
        r.Reading = TrimFieldBlanks(fields[1]);
        r.Extra = TrimFieldBlanks(fields[2]);
        IncrementValue(count);
    }
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
