#include "core/reports/PilotHistory.h"

#include "core/files/AtomicFile.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotDiff.h"

namespace vantrel {

namespace {

PilotVersion loadVersion(const std::string& path, std::string date, FileAccess& files)
{
    PilotVersion version;
    version.path = path;
    version.date = std::move(date);
    auto record = std::make_shared<PilotRecord>();
    LoadResult loaded = ReadMission(*record, path, files);
    if (loaded.ok())
        version.record = std::move(record);
    else
        version.loadMessages = std::move(loaded.messages);
    return version;
}

}  // namespace

std::vector<PilotVersion> pilotHistory(const std::string& pilotPath, const std::string& backupFolder, FileAccess& files)
{
    std::vector<PilotVersion> history;
    for (BackupFile& backup : listBackups(pilotPath, backupFolder))
        history.push_back(loadVersion(backup.path, std::move(backup.date), files));
    if (const auto now = fileIdentity(pilotPath)) {
        const auto seconds = static_cast<std::time_t>(now->mtimeNs / 1'000'000'000);
        history.push_back(loadVersion(pilotPath, localDateTime(seconds), files));
        history.back().current = true;
    }
    for (std::size_t k = 0; k + 1 < history.size(); ++k) {
        if (history[k].record && history[k + 1].record)
            history[k].changesToNext = diffPilots(*history[k].record, *history[k + 1].record);
    }
    return history;
}

std::vector<PilotVersion> olderBackupVersions(const std::string& pilotPath, const std::string& backupFolder,
                                              FileAccess& files)
{
    std::vector<PilotVersion> older;
    for (BackupFile& backup : listOlderBackups(pilotPath, backupFolder))
        older.push_back(loadVersion(backup.path, std::move(backup.date), files));
    return older;
}

}  // namespace vantrel
