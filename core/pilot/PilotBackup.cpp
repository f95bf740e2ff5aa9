#include "core/pilot/PilotBackup.h"

#include "core/text/TextRules.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/files/AtomicFile.h"
#include "core/files/FileIO.h"
#include "core/pilot/PilotLayout.h"
#include "core/platform/PlatformPaths.h"
#include "core/platform/Process.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBackupExtension = layout::kPilotFileExtension;

std::string fileStem(const std::string& pilotPath)
{
    return fileio::toUtf8(fileio::toPath(pilotPath).stem());
}

// Where a backup stands among the backups of its file name: its timestamp,
// then its number within that second (1 for the first).
struct BackupAge {
    std::string stamp;  // "YYYYMMDD-HHMMSS": text order is time order
    unsigned long number = 1;
    // Spelled out: not every standard library compares strings with <=>.
    friend bool operator<(const BackupAge& a, const BackupAge& b)
    {
        return a.stamp != b.stamp ? a.stamp < b.stamp : a.number < b.number;
    }
    friend bool operator>(const BackupAge& a, const BackupAge& b) { return b < a; }
};

// The age of a backup of `stem` named `name`; nullopt for every other name.
std::optional<BackupAge> backupAge(std::string_view name, std::string_view stem)
{
    if (!name.starts_with(stem) || !name.ends_with(kBackupExtension))
        return std::nullopt;
    name.remove_prefix(stem.size());
    name.remove_suffix(kBackupExtension.size());
    // "-YYYYMMDD-HHMMSS", then "-N" for a later backup within the same second.
    if (name.size() < 16 || name[0] != '-' || name[9] != '-' || !text::allDigits(name.substr(1, 8)) ||
        !text::allDigits(name.substr(10, 6)))
        return std::nullopt;
    BackupAge age{std::string(name.substr(1, 15))};
    const std::string_view rest = name.substr(16);
    if (!rest.empty()) {
        const std::string_view digits = rest.substr(1);
        if (rest[0] != '-' || !text::allDigits(digits) || digits.size() > 9)
            return std::nullopt;
        age.number = std::stoul(std::string(digits));
    }
    return age;
}

// The backups of `stem` in the folder, in no order; `skip` is left out.
std::vector<std::pair<BackupAge, fs::path>> backupsOf(const std::string& folder, std::string_view stem,
                                                      const fs::path& skip = {})
{
    std::vector<std::pair<BackupAge, fs::path>> backups;
    std::error_code error;
    for (fs::directory_iterator it(fileio::toPath(folder), error), end; !error && it != end; it.increment(error)) {
        const fs::path& entry = it->path();
        if (!skip.empty() && entry.filename() == skip.filename())
            continue;
        std::error_code ignored;
        if (!it->is_regular_file(ignored))
            continue;
        if (auto age = backupAge(fileio::toUtf8(entry.filename()), stem))
            backups.emplace_back(std::move(*age), entry);
    }
    return backups;
}

// Removes the oldest backups of the file name so that `kept` remain, never
// the one just made. Failures to remove are left for the next backup.
void pruneBackups(const std::string& folder, const std::string& stem, const fs::path& justMade)
{
    auto backups = backupsOf(folder, stem, justMade);
    if (backups.size() < kBackupsKept)
        return;
    std::sort(backups.begin(), backups.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t k = kBackupsKept - 1; k < backups.size(); ++k) {
        std::error_code ignored;
        fs::remove(backups[k].second, ignored);
    }
}

FileResult backupRefusal(const std::string& pilotPath, const std::string& backupFolder, const std::string& reason)
{
    return FileResult::refused("Cannot back up " + pilotPath + " to " + backupFolder + ": " + reason +
                                   ". Nothing was written.",
                               reason);
}

}  // namespace

std::vector<BackupFile> listBackups(const std::string& pilotPath, const std::string& backupFolder)
{
    auto backups = backupsOf(backupFolder, fileStem(pilotPath));
    std::sort(backups.begin(), backups.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<BackupFile> list;
    list.reserve(backups.size());
    for (const auto& [age, path] : backups) {
        const std::string& s = age.stamp;  // "YYYYMMDD-HHMMSS"
        list.push_back({fileio::toUtf8(path), s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2) + " " +
                                           s.substr(9, 2) + ":" + s.substr(11, 2) + ":" + s.substr(13, 2)});
    }
    return list;
}

std::string localDateTime(std::time_t when)
{
    const std::tm local = process::localTime(when);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string backupFileName(const std::string& pilotPath, std::time_t when)
{
    const std::tm local = process::localTime(when);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return fileStem(pilotPath) + "-" + stamp + std::string(kBackupExtension);
}

FileResult makeBackup(const std::string& pilotPath, std::string_view bytes, unsigned mode,
                       const std::string& backupFolder, std::time_t now, std::string* madeFile)
{
    const auto refusal = [&](const std::string& reason) { return backupRefusal(pilotPath, backupFolder, reason); };

    std::error_code error;
    fs::create_directories(fileio::toPath(backupFolder), error);
    if (error)
        return refusal(error.message());
    if (!fs::is_directory(fileio::toPath(backupFolder), error))
        return refusal("it is not a folder");

    // A second backup within the same second gets "-2", "-3", ...
    const std::string first = backupFileName(pilotPath, now);
    const std::string base = first.substr(0, first.size() - kBackupExtension.size());
    fs::path target = fileio::toPath(backupFolder) / fileio::toPath(first);
    for (unsigned number = 2; fs::exists(fs::symlink_status(target, error)); ++number)
        target = fileio::toPath(backupFolder) / fileio::toPath(base + "-" + std::to_string(number) + std::string(kBackupExtension));

    // The copy is exactly as readable as the pilot.
    ReplaceOptions options;
    options.newFileMode = mode & 0777;
    // A link put at the backup's name is never written through.
    options.followLinks = false;
    if (const FileResult written = replaceFileAtomically(fileio::toUtf8(target), bytes, options); !written)
        return refusal(written.cause());

    pruneBackups(backupFolder, fileStem(pilotPath), target);
    if (madeFile)
        *madeFile = fileio::toUtf8(target);
    return FileResult::success();
}

BackupSession::BackupSession(std::string backupFolder, Clock clock)
    : folder_(std::move(backupFolder)), clock_(std::move(clock))
{
}

std::string BackupSession::identity(const std::string& pilotPath)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(fs::absolute(fileio::toPath(pilotPath), error), error);
    return error ? pilotPath : fileio::toUtf8(canonical);
}

bool BackupSession::hasBackedUp(const std::string& pilotPath) const
{
    return done_.count(identity(pilotPath)) != 0;
}

FileResult BackupSession::backUpOnce(const std::string& pilotPath, std::string_view bytes, unsigned mode,
                                     std::string* madeFile)
{
    const std::string key = identity(pilotPath);
    if (done_.count(key))
        return FileResult::success();
    const std::string folder = folder_.empty() ? paths::backupDirectory() : folder_;
    FileResult made = makeBackup(pilotPath, bytes, mode, folder, clock_ ? clock_() : std::time(nullptr), madeFile);
    if (made)
        done_.insert(key);
    return made;
}

BeforeFirstWrite BackupSession::beforeFirstWrite()
{
    return [this](const PilotFileSnapshot& file, std::string& copyMade) {
        return backUpOnce(file.fileName, file.bytes, file.mode, &copyMade);
    };
}

}  // namespace vantrel
