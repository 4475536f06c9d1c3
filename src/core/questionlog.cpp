// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "questionlog.h"
#include "gamestate.h"

std::array<QuestionResult, kStationTableSize> gQuestionLog;
std::vector<std::int32_t> gSubsetOrigin;

void ClearQuestionLog()
{
    gQuestionLog.fill({});
}

void NoteHint(std::int32_t askedIndex)
{
    if (askedIndex >= 0 && askedIndex < kStationTableSize)
        ++gQuestionLog[askedIndex].hints;
}

bool NeighboursOnLine(std::int32_t a, std::int32_t b)
{
    if (gSubsetOrigin.empty())
        return true;
    const auto size = std::int64_t(gSubsetOrigin.size());
    if (a < 0 || b < 0 || a >= size || b >= size)
        return true; // past the table: the plate shows the empty entry there, as always
    return gSubsetOrigin[std::size_t(b)] == gSubsetOrigin[std::size_t(a)] + 1;
}

bool QuestionOnPlate(std::int32_t plate, std::int32_t mode)
{
    return mode != kModeEkiate || NeighboursOnLine(plate, plate + 1);
}
