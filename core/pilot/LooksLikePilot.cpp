#include "core/pilot/LooksLikePilot.h"

#include <algorithm>
#include <string_view>

#include "core/pilot/PilotSave.h"
#include "core/pilot/Vocabulary.h"

namespace vantrel {

bool looksLikePilot(const PilotRecord& record)
{
    const auto end = std::find(record.PilotName.begin(), record.PilotName.end(), '\0');
    if (end == record.PilotName.end())
        return false;
    if (hasControlCharacter(std::string_view(record.PilotName.data(), static_cast<std::size_t>(end - record.PilotName.begin()))))
        return false;
    using namespace vocabulary;
    return selectionFor(rankNames(), record.Rank) >= 0 && selectionFor(ratingNames(), record.Rating) >= 0 &&
           selectionFor(kalidorStates(), record.KalidorCrescent) >= 0;
}

}  // namespace vantrel
