#include "core/pilot/LooksLikePilot.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "core/pilot/PilotSave.h"
#include "core/pilot/Vocabulary.h"

namespace vantrel {

std::string notAPilotReason(const PilotRecord& record)
{
    const auto end = std::find(record.PilotName.begin(), record.PilotName.end(), '\0');
    if (end == record.PilotName.end() ||
        hasControlCharacter(
            std::string_view(record.PilotName.data(), static_cast<std::size_t>(end - record.PilotName.begin()))))
        return "its pilot name is not text ending in a zero byte";
    using namespace vocabulary;
    if (selectionFor(rankNames(), record.Rank) < 0)
        return "its rank " + std::to_string(record.Rank) + " is none of the game's ranks";
    if (selectionFor(ratingNames(), record.Rating) < 0)
        return "its rating " + std::to_string(record.Rating) + " is none of the game's ratings";
    if (selectionFor(kalidorStates(), record.KalidorCrescent) < 0)
        return "its Kalidor Crescent " + std::to_string(record.KalidorCrescent) + " is none of the game's";
    return {};
}

bool looksLikePilot(const PilotRecord& record)
{
    return notAPilotReason(record).empty();
}

namespace {

// Whether the file holds nothing but zero bytes: what a crash can leave of a
// file whose room was taken but whose bytes never came.
bool onlyZeros(const std::string& path, FileAccess& files)
{
    const std::unique_ptr<OpenFile> file = files.open(path, OpenMode::ReadOnly);
    if (!file || !file->seek(0))
        return false;
    char chunk[4096];
    for (std::int64_t left = file->size(); left > 0;) {
        const auto count = static_cast<std::size_t>(std::min<std::int64_t>(left, sizeof chunk));
        if (!file->read(chunk, count))
            return false;
        if (std::any_of(chunk, chunk + count, [](char c) { return c != '\0'; }))
            return false;
        left -= static_cast<std::int64_t>(count);
    }
    return true;
}

}  // namespace

std::string loadLikelyPilot(PilotRecord& record, const std::string& path, FileAccess& files, LoadResult* loaded)
{
    LoadResult result = ReadMission(record, path, files);
    std::string reason = result.ok() ? notAPilotReason(record) : std::string("it does not load");
    // An empty name is a pilot's (one can be saved so), but not in a file of
    // zeros alone.
    if (reason.empty() && record.PilotName[0] == '\0' && onlyZeros(path, files))
        reason = "it holds only zero bytes";
    if (loaded)
        *loaded = std::move(result);
    return reason;
}

}  // namespace vantrel
