// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "scorereport.h"
#include "gameloop.h"
#include "gamestate.h"
#include "lib_util.h"
#include "questionlog.h"

#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// Station rows start this many bytes before the name ("000:  "), and the header's first word
// sits above the name column.
constexpr int kIndent = 6;
// The verdict and seconds columns after the name: "  OK    " + up to six digits of seconds.
constexpr int kRuleExtra = 18;

QString blanks(qint64 count)
{
    return QString(qsizetype(std::max<qint64>(count, 0)), u' ');
}

// Adds one to the last digit of a string of decimal digits, carrying to the left.
void incrementDigits(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

QString FormatFixed(double value, int decimals)
{
    decimals = std::clamp(decimals, 0, 40);
    if (!std::isfinite(value))
        value = 0.0;
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);

    // A double is m * 2^(e - 53) with an integer m, so 53 - e digits after the point print it
    // exactly; rounding that exact text decides halves the way the decimal value says.
    int e = 0;
    std::frexp(magnitude, &e);
    const int exactDigits = std::max(decimals + 1, 53 - e);
    std::string text(size_t(exactDigits) + 330, '\0'); // a double has at most 309 integer digits
    const auto result = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                      std::chars_format::fixed, exactDigits);
    if (result.ec != std::errc())
        return FormatFixed(0.0, decimals);
    text.resize(size_t(result.ptr - text.data()));

    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction
        = point == std::string::npos ? std::string() : text.substr(point + 1);

    std::string digits = whole + fraction.substr(0, size_t(decimals));
    digits.append(size_t(decimals) - std::min(size_t(decimals), fraction.size()), '0');
    if (fraction.size() > size_t(decimals) && fraction[size_t(decimals)] >= '5')
        incrementDigits(digits);

    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    std::string out = negative && !zero ? "-" : "";
    out += digits.substr(0, digits.size() - size_t(decimals));
    if (decimals > 0)
        out += '.' + digits.substr(digits.size() - size_t(decimals));
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

std::span<const StationRecord> LoadedStations()
{
    const int count = std::clamp<std::int32_t>(gStationCount, 0, kStationTableSize);
    return std::span<const StationRecord>(StationTable.data(), size_t(count));
}

std::int32_t GetMaxLenB(std::span<const StationRecord> stations)
{
    qint64 longest = 0;
    for (const StationRecord& station : stations)
        longest = std::max<qint64>(longest, DisplayColumns(station.StationName));
    return std::int32_t(std::min<qint64>(longest, INT32_MAX));
}

std::int32_t GetMaxLenB()
{
    return GetMaxLenB(LoadedStations());
}

QString BuildScoreReport(const ReportInput& input)
{
    const std::int32_t maxLen = GetMaxLenB(input.stations);
    const QString rule(qsizetype(maxLen) + kRuleExtra, u'-');

    QStringList lines;
    lines << QStringLiteral("File: ") + GetFileNameOf(input.lineFilePath)
          << QStringLiteral("線名: ") + input.lineName
          << QStringLiteral("MODE: ") + GetModeName(input.gameMode) << QString();
    // With names shorter than the heading "駅名" (only empty names give that) there is no room
    // for the gap before "評価": it follows at once, so this heading alone starts its verdict
    // column later than the rows below.
    lines << blanks(kIndent) + QStringLiteral("駅名") + blanks(qint64(maxLen) - 2)
            + QStringLiteral("評価") + blanks(2) + QStringLiteral("秒数")
          << rule;

    // The first station of 駅当て is shown, never asked: it gets no verdict and no seconds.
    const bool firstUnasked = input.gameMode == kModeEkiate;
    std::int32_t rightCount = 0;
    float tenthsSum = 0.0f;
    for (size_t i = 0; i < input.stations.size(); ++i) {
        const StationRecord& station = input.stations[i];
        QString line = QStringLiteral("%1:  ").arg(qulonglong(i), 3, 10, QLatin1Char('0'))
            + PadRightColumns(station.StationName, maxLen);
        const bool asked
            = input.asked.isEmpty() ? !(firstUnasked && i == 0) : input.asked.value(qsizetype(i));
        if (asked) {
            if (station.IsOK != 0) {
                // 64 bits: a corrupt count of tenths must not overflow.
                const qint64 taken = qint64(input.questionTenths) - qint64(station.RemainTenths);
                line += QStringLiteral("  OK    ") + FormatFixed(double(taken) / 10.0, 1);
                ++rightCount;
                tenthsSum += float(taken);
            } else {
                line += QStringLiteral("  NG");
            }
        }
        lines << line;
    }
    lines << rule;

    const double rate = std::isfinite(input.correctRate) ? double(input.correctRate) : 0.0;
    // Single precision throughout, as the sum was kept.
    const QString average = rightCount > 0
        ? FormatFixed(double(tenthsSum / 10.0f / float(rightCount)), 2)
        : QStringLiteral("0.00");
    lines << QStringLiteral("正解率 :  ") + FormatFixed(rate * 100.0, 1) + QStringLiteral("%")
            + blanks(5) + QStringLiteral("平均秒数:  ") + average;
    lines << QStringLiteral("得点: ") + QString::number(input.score);
    return lines.join(QStringLiteral("\r\n"));
}

QString BuildScoreReport()
{
    ReportInput input;
    input.lineFilePath = gLineFilePath;
    input.lineName = gLineName;
    input.gameMode = gGameMode;
    input.correctRate = gCorrectRate;
    input.score = gScore;
    input.stations = LoadedStations();
    input.questionTenths = QuestionTenths();
    // A stopped game, or one over some stations of a line, asked only some of its stations; on
    // a loop line 駅当て asks the first station too.
    if (gStoppedAfter >= 0 || !gSubset.origin.empty() || gLine.loop) {
        for (qsizetype i = 0; i < qsizetype(input.stations.size()); ++i)
            input.asked << (gQuestionLog[i].outcome != Outcome::NotAsked);
    }
    return BuildScoreReport(input);
}
