#include "tests/support/PilotImage.h"

#include "core/files/FileIO.h"

#include "core/pilot/LittleEndian.h"
#include "core/text/TextRules.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace vantrel {

void PilotImage::setText(const layout::Field& field, std::string_view text)
{
    for (std::uint32_t k = 0; k < field.width; ++k)
        bytes_[field.offset + k] = k < text.size() ? text[k] : '\0';
}

void PilotImage::setIntAt(std::uint32_t offset, std::int32_t value)
{
    le::putInt32(bytes_.data() + offset, value);
}

std::int32_t PilotImage::intAt(std::uint32_t offset) const
{
    return le::int32At(bytes_.data() + offset);
}

void PilotImage::setInt(const layout::Field& field, std::int32_t value, std::uint32_t index)
{
    setIntAt(field.offset + 4 * index, value);
}

void PilotImage::setMission(const layout::Field& list, std::uint32_t index, const Mission& m)
{
    const std::uint32_t base = layout::missionRecordOffset(list, index);
    setIntAt(base + layout::record::kLeadValue, m.leadValue);
    setIntAt(base + layout::record::kStatus, m.status);
    setIntAt(base + layout::record::kScore, m.score);
    setIntAt(base + layout::record::kTime, m.time);
    setIntAt(base + layout::record::kBonus, m.storedBonus);
}

PilotImage squadronPilot(const std::string& name, std::int32_t tod, bool copiesAgree, std::int32_t missionScore)
{
    PilotImage image;
    image.setText(layout::PilotName, name);
    for (const auto* copy : {&layout::TODScoreA, &layout::TODScoreB, &layout::TODScoreC, &layout::TODScoreD})
        image.setInt(*copy, tod);
    image.setMission(layout::CampaignMissionRecords, 0, {0, 1, missionScore >= 0 ? missionScore : tod, 0, 0});
    if (!copiesAgree)
        image.setInt(layout::TODScoreD, tod + 1);
    return image;
}

PilotImage scrambledPilot(int completedMissions)
{
    std::mt19937 random(11);
    PilotImage image;
    for (auto& byte : image.bytes())
        byte = static_cast<char>(random());
    image.setText(layout::PilotName, "Kestrel");
    image.setInt(layout::Rank, 2);
    image.setInt(layout::Rating, 1);
    image.setInt(layout::KalidorCrescent, 0);
    for (std::uint32_t i = 0; i < layout::kMissionListCapacity; ++i) {
        const std::uint32_t status =
            layout::missionRecordOffset(layout::CampaignMissionRecords, i) + layout::record::kStatus;
        image.setIntAt(status, static_cast<int>(i) < completedMissions ? 2 : 0);
    }
    return image;
}

bool PilotImage::save(const std::string& path) const
{
    // Through the UTF-8 path: on Windows a std::string path is in the code page.
    std::ofstream out(fileio::toPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
    out.close();
    return static_cast<bool>(out);
}

std::vector<PilotTableEntry> chartSquadron(const std::string& folder, bool withTotalWarning)
{
    const auto pilot = [&](const std::string& file, const std::string& name, std::int32_t tod, bool agree,
                           std::int32_t missionScore = -1) {
        const std::string path = text::joinPath(folder, file);
        if (!squadronPilot(name, tod, agree, missionScore).save(path))
            throw std::runtime_error("cannot save " + path);
        return path;
    };
    std::vector<PilotTableEntry> entries;
    entries.push_back(pilotTableEntry(pilot("a.plt", "Wedge & Co", 500, true)));
    entries.push_back(pilotTableEntry(pilot("b\xFF\x01.plt", "", -200, true)));  // a name no text holds
    entries.push_back(pilotTableEntry(pilot("c.plt", "<Biggs>", 2000, false)));
    if (withTotalWarning)
        entries.push_back(pilotTableEntry(pilot("e.plt", "Wes", 300, true, 250)));
    const std::string shortFile = text::joinPath(folder, "short.plt");
    std::ofstream(fileio::toPath(shortFile)) << "not a pilot";
    entries.push_back(pilotTableEntry(shortFile));
    entries.push_back(pilotTableEntry(pilot("d.plt", "\xC5sa", 0, true)));
    return entries;
}

}  // namespace vantrel
