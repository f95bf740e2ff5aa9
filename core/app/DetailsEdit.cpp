#include "core/app/DetailsEdit.h"

#include <span>
#include <string_view>

#include "core/pilot/Vocabulary.h"
#include "core/text/Windows1252.h"

namespace vantrel::app {

namespace {

constexpr std::string_view kNothingWritten = " Nothing was written.";

Refusal refusal(RefusalCode code, DetailsField field, std::string text)
{
    return {code, field, text.append(kNothingWritten)};
}

// A row outside its list: "The rank must be between 0 and 8." in the
// numbers the user picks by (missions from 1).
std::optional<Refusal> rowRefusal(const std::optional<std::int64_t>& row, std::span<const std::string_view> rows,
                                  int firstNumber, RefusalCode code, DetailsField field, std::string_view what)
{
    if (!row || (*row >= 0 && *row < static_cast<std::int64_t>(rows.size())))
        return std::nullopt;
    return refusal(code, field,
                   "The " + std::string(what) + " must be between " + std::to_string(firstNumber) + " and " +
                       std::to_string(static_cast<std::int64_t>(rows.size()) - 1 + firstNumber) + ".");
}

}  // namespace

std::optional<std::string> nameChange(const PilotRecord& record, const std::string& shown)
{
    if (shown == fieldText(record.PilotName))
        return std::nullopt;
    return shown;
}

std::optional<Refusal> checkDetails(const DetailsRequest& request)
{
    if (request.name) {
        const std::string& name = *request.name;
        if (hasControlCharacter(name))
            return refusal(RefusalCode::NameHasControlCharacter, DetailsField::Name,
                           "The name holds a control character.");
        if (!cp1252::canEncode(name))
            return refusal(RefusalCode::NameNotStorable, DetailsField::Name,
                           "The name holds characters a pilot file cannot store.");
        if (cp1252::fromUtf8(name).size() > kMaxTypedNameLength)
            return refusal(RefusalCode::NameTooLong, DetailsField::Name,
                           "The name is longer than " + std::to_string(kMaxTypedNameLength) + " characters.");
    }
    if (auto refused = rowRefusal(request.rank, vocabulary::rankNames(), 0, RefusalCode::RankOutOfRange,
                                  DetailsField::Rank, "rank"))
        return refused;
    if (auto refused = rowRefusal(request.rating, vocabulary::ratingNames(), 0, RefusalCode::RatingOutOfRange,
                                  DetailsField::Rating, "rating"))
        return refused;
    if (auto refused = rowRefusal(request.kalidor, vocabulary::kalidorStates(), 0, RefusalCode::KalidorOutOfRange,
                                  DetailsField::Kalidor, "Kalidor Crescent state"))
        return refused;
    return rowRefusal(request.activeMission, vocabulary::missionTitles(), 1, RefusalCode::ActiveMissionOutOfRange,
                      DetailsField::ActiveMission, "active mission");
}

std::optional<Refusal> checkDetails(const DetailsRequest& request, const PilotRecord& loaded)
{
    if (auto refused = checkDetails(request))
        return refused;
    if (!request.activeMission || *request.activeMission >= loaded.CampaignMissionCount)
        return std::nullopt;
    return refusal(RefusalCode::ActiveMissionNotAfterCompleted, DetailsField::ActiveMission,
                   "Active mission " + std::to_string(*request.activeMission + 1) + " is not after the " +
                       std::to_string(loaded.CampaignMissionCount) + " completed missions of " + loaded.PilotFileName +
                       "; completed missions are never removed.");
}

PilotDetailsEdit detailsEdit(const DetailsRequest& request)
{
    const auto row = [](const std::optional<std::int64_t>& value) { return value ? static_cast<int>(*value) : -1; };
    PilotDetailsEdit edit;
    edit.name = request.name;
    edit.rankIndex = row(request.rank);
    edit.ratingIndex = row(request.rating);
    edit.kalidorIndex = row(request.kalidor);
    edit.activeMissionIndex = row(request.activeMission);
    return edit;
}

EditOutcome saveDetails(const std::string& path, PilotRecord& record, const DetailsRequest& request, FileAccess& files,
                        const BeforeFirstWrite& beforeFirstWrite, KnownPilotFile* known, const OwnSaves* ownSaves)
{
    EditOutcome outcome;
    outcome.refusal = checkDetails(request, record);
    if (!outcome.refusal)
        outcome.saved = WritePilotDetails(path, record, detailsEdit(request), files, beforeFirstWrite, known, ownSaves);
    return outcome;
}

EditOutcome editDetails(PilotView& view, const std::string& path, const DetailsRequest& request, Settings& settings,
                        FileAccess& files, const BeforeFirstWrite& beforeFirstWrite, const OwnSaves* ownSaves)
{
    EditOutcome outcome;
    outcome.refusal = checkDetails(request);
    if (outcome.refusal || !openForViewing(view, path, settings, files))
        return outcome;
    return saveDetails(path, view.record, request, files, beforeFirstWrite, nullptr, ownSaves);
}

}  // namespace vantrel::app
