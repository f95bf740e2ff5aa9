#include "core/reports/SaveOffer.h"

#include "core/pilot/LooksLikePilot.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/MissionRange.h"
#include "core/reports/PilotDiff.h"
#include "core/reports/PilotReport.h"
#include "core/reports/TextSink.h"

namespace vantrel {

namespace {

std::shared_ptr<PilotRecord> load(const std::string& path, std::int32_t* getTo = nullptr)
{
    auto record = std::make_shared<PilotRecord>();
    LoadResult result;
    // Bytes of the right size that are no pilot are never offered, nor
    // taken as a save seen.
    if (!loadLikelyPilot(*record, path, systemFileAccess(), &result).empty())
        return nullptr;
    if (getTo)
        *getTo = result.getTo;
    return record;
}

}  // namespace

bool SeenSaves::remember(const std::string& path)
{
    std::shared_ptr<PilotRecord> record = load(path);
    if (!record)
        return false;
    seen_[path] = std::move(record);
    return true;
}

std::optional<SaveOffer> SeenSaves::offerFor(const std::string& path, Settings& settings, const DateSource& today) const
{
    std::int32_t getTo = 0;
    std::shared_ptr<PilotRecord> record = load(path, &getTo);
    if (!record)
        return std::nullopt;

    SaveOffer offer;
    offer.path = path;
    if (const auto last = seen_.find(path); last != seen_.end()) {
        offer.changes = diffPilots(*last->second, *record);
        if (offer.changes.empty())
            return std::nullopt;
    } else {
        offer.firstSeen = true;
    }
    // The entry as the pilot view builds it after loading the file, the
    // error mark of the integrity check included.
    DiscardLines report;
    MissionRange range;
    range.to.set(getTo);
    offer.entry = BuildPilotReport(report, settings, *record, range, true, today);
    offer.record = std::move(record);
    return offer;
}

void SeenSaves::offered(const SaveOffer& offer)
{
    if (offer.record)
        seen_[offer.path] = offer.record;
}

}  // namespace vantrel
