// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Score reports of any input: every station gets one row, the columns line up, and the numbers
// printed are the numbers given.

#include "gamestate.h"
#include "lib_util.h"
#include "scorereport.h"
#include "silenthost.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Up to maxUnits UTF-16 code units, lone surrogates and all.
QString consumeText(FuzzedDataProvider& in, int maxUnits)
{
    const int units = in.ConsumeIntegralInRange<int>(0, maxUnits);
    const std::vector<std::uint8_t> bytes = in.ConsumeBytes<std::uint8_t>(std::size_t(units) * 2);
    QString text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(char16_t(bytes[i] | (bytes[i + 1] << 8)));
    return text;
}

// value printed with decimals digits: parses back to within half a unit of the last digit.
bool printsAs(const QString& text, double value, int decimals)
{
    bool ok = false;
    const double parsed = text.toDouble(&ok);
    const double half = 0.5 * std::pow(10.0, -decimals);
    return ok && std::fabs(parsed - value) <= half * (1 + 1e-9) + std::fabs(value) * 1e-15;
}

void checkRows(const ReportInput& input, const QStringList& lines)
{
    const std::size_t count = input.stations.size();
    qsizetype longest = 0;
    for (const StationRecord& s : input.stations)
        longest = std::max<qsizetype>(longest, DisplayColumns(s.StationName));
    // Names are padded to the widest one in display columns.
    const QString rule(longest + 18, u'-');
    fuzz::check(lines[5] == rule && lines[qsizetype(6 + count)] == rule, "rule lines");

    for (std::size_t i = 0; i < count; ++i) {
        const StationRecord& station = input.stations[i];
        const QString& row = lines[qsizetype(6 + i)];
        const QString number = QStringLiteral("%1:  ").arg(qulonglong(i), 3, 10, QLatin1Char('0'));
        fuzz::check(row.startsWith(number + station.StationName), "row starts with number, name");
        // A blank pads each column a name is narrower than the widest: a full-width character
        // takes two half-width cells in the fixed-pitch font.
        const qsizetype nameEnd = number.size() + station.StationName.size();
        const qsizetype padding = longest - DisplayColumns(station.StationName);
        fuzz::check(row.size() >= nameEnd + padding, "row shorter than the name column");
        fuzz::check(row.mid(nameEnd, padding) == QString(padding, u' '), "name padding");
        const QString verdict = row.mid(nameEnd + padding);
        // A stopped game or a retry asked only some stations; otherwise 駅当て never asks the
        // first one.
        const bool asked = input.asked.isEmpty() ? !(input.gameMode == kModeEkiate && i == 0)
                                                 : input.asked.value(qsizetype(i));
        if (!asked) {
            fuzz::check(verdict.isEmpty(), "verdict for a station never asked");
        } else if (station.IsOK == 0) {
            fuzz::check(verdict == QLatin1String("  NG"), "NG verdict");
        } else {
            const QString head = QStringLiteral("  OK    ");
            fuzz::check(verdict.startsWith(head), "OK verdict");
            const double taken = double(100 - std::int64_t(station.RemainTenths)) / 10.0;
            fuzz::check(printsAs(verdict.mid(head.size()), taken, 1), "seconds taken");
        }
    }
}

void checkSummary(const ReportInput& input, const QStringList& lines)
{
    const QString& summary = lines[lines.size() - 2];
    const QString rateHead = QStringLiteral("正解率 :  ");
    const QString averageHead = QStringLiteral("     平均秒数:  ");
    fuzz::check(summary.startsWith(rateHead), "rate heading");
    const qsizetype percent = summary.indexOf(QStringLiteral("%") + averageHead);
    fuzz::check(percent > rateHead.size(), "rate and average headings");
    const double rate = std::isfinite(input.correctRate) ? double(input.correctRate) * 100 : 0;
    fuzz::check(printsAs(summary.mid(rateHead.size(), percent - rateHead.size()), rate, 1),
                "rate printed");
    bool ok = false;
    const QString average = summary.mid(percent + 1 + averageHead.size());
    average.toDouble(&ok);
    fuzz::check(ok && average.indexOf(u'.') == average.size() - 3, "average has two decimals");
    fuzz::check(lines.last() == QStringLiteral("得点: ") + QString::number(input.score), "score");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    ReportInput input;
    input.gameMode = in.ConsumeIntegral<std::int8_t>();
    input.correctRate = std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>());
    input.score = in.ConsumeIntegral<std::int32_t>();
    const bool someAsked = in.ConsumeBool();
    input.lineFilePath = consumeText(in, 40);
    input.lineName = consumeText(in, 40);
    // Past the end of the input every station would be the same empty one: a station costs
    // at least one byte so that short inputs stay fast, while long ones still pass the table.
    const std::size_t count = in.ConsumeIntegralInRange<std::size_t>(0, 1100);
    std::vector<StationRecord> stations(std::min(count, in.remaining_bytes()));
    for (StationRecord& s : stations) {
        s.StationName = consumeText(in, 24);
        s.IsOK = in.ConsumeIntegral<std::int16_t>();
        s.RemainTenths = in.ConsumeIntegral<std::int32_t>();
        if (someAsked)
            input.asked << in.ConsumeBool();
    }
    input.stations = stations;

    const QString report = BuildScoreReport(input);

    // Nine lines and one row per station; a text that holds a line break adds its own.
    qsizetype breaksInside
        = GetFileNameOf(input.lineFilePath).count(kCrLf) + input.lineName.count(kCrLf);
    for (const StationRecord& s : stations)
        breaksInside += s.StationName.count(kCrLf);
    const QStringList lines = report.split(kCrLf);
    fuzz::check(lines.size() == qsizetype(9 + stations.size()) + breaksInside, "line count");
    fuzz::check(!report.endsWith(kCrLf), "break after the last line");
    if (breaksInside == 0) {
        checkRows(input, lines);
        checkSummary(input, lines);
    }
    return 0;
}
