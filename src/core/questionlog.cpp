// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "questionlog.h"
#include "gamestate.h"

std::array<QuestionResult, kStationTableSize> gQuestionLog;
SubsetInForce gSubset;
std::vector<RelearnAnswer> gRelearnLog;

QString OutcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Right:
        return QStringLiteral("正解");
    case Outcome::Wrong:
        return QStringLiteral("不正解");
    case Outcome::TimedOut:
        return QStringLiteral("時間切れ");
    case Outcome::NotAsked:
        break;
    }
    return {};
}

void ClearQuestionLog()
{
    gQuestionLog.fill({});
    gRelearnLog.clear();
}

void NoteHint(std::int32_t askedIndex)
{
    if (askedIndex >= 0 && askedIndex < kStationTableSize)
        ++gQuestionLog[askedIndex].hints;
}

bool NeighboursOnLine(std::int32_t a, std::int32_t b)
{
    if (gSubset.origin.empty())
        return true;
    const auto size = std::int64_t(gSubset.origin.size());
    if (a < 0 || b < 0 || a >= size || b >= size)
        return true; // past the table: the plate shows the empty entry there, as always
    const std::int32_t from = gSubset.origin[std::size_t(a)];
    const std::int32_t to = gSubset.origin[std::size_t(b)];
    return to == from + 1 || (gLine.loop && from == gSubset.wholeCount - 1 && to == 0);
}

bool QuestionOnPlate(std::int32_t plate, std::int32_t mode)
{
    if (mode == kModeEkiate && !NeighboursOnLine(plate, NextEntry(plate)))
        return false;
    if (gSubset.asks.empty())
        return true;
    const std::int32_t entry = AskedEntry(plate, mode);
    return entry >= 0 && entry < std::int32_t(gSubset.asks.size())
        && gSubset.asks[std::size_t(entry)];
}

std::int32_t AskedEntry(std::int32_t plate, std::int32_t mode)
{
    return mode == kModeEkiate ? NextEntry(plate) : plate;
}

bool EntryAsked(std::int32_t i, std::int32_t mode)
{
    if (mode != kModeEkiate)
        return true;
    const std::int32_t plate = PreviousEntry(i);
    return plate >= 0 && QuestionOnPlate(plate, mode);
}
