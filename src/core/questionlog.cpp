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

bool QuestionOnPlate(std::int32_t plate, std::int32_t mode)
{
    if (mode != kModeEkiate || gSubsetOrigin.empty())
        return true;
    const auto next = std::size_t(plate) + 1;
    return next < gSubsetOrigin.size() && gSubsetOrigin[next] == gSubsetOrigin[plate] + 1;
}
