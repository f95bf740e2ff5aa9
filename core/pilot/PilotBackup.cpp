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
constexpr std::size_t kStampSize = 15;  // "YYYYMMDD-HHMMSS"
constexpr std::size_t kTagSize = 16;
// A name taken by another backup within the same second is passed over for
// the next number; past this many the folder is no place for backups.
constexpr unsigned kMostNumbers = 10'000;

std::string fileStem(const std::string& pilotPath)
{
    return fileio::toUtf8(fileio::toPath(pilotPath).stem());
}

// The stem as a backup name carries it: cut to kLongestBackupStem bytes,
// never inside a UTF-8 character.
std::string backupStem(const std::string& pilotPath)
{
    std::string stem = fileStem(pilotPath);
    if (stem.size() > kLongestBackupStem) {
        std::size_t cut = kLongestBackupStem;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80)
            --cut;
        stem.resize(cut);
    }
    return stem;
}

// Where a backup stands among the backups of its file: its timestamp, then
// its number within that second (1 for the first).
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

// What a backup's name tells: "STEM.TAG.STAMP[-N].plt", or for an older
// backup "STEM-STAMP[-N].plt".
struct BackupName {
    std::string_view stem;
    std::string_view tag;  // empty for an older backup
    BackupAge age;
};

bool isStamp(std::string_view text)
{
    return text.size() == kStampSize && text[8] == '-' && text::allDigits(text.substr(0, 8)) &&
           text::allDigits(text.substr(9));
}

bool isTag(std::string_view text)
{
    return text.size() == kTagSize && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::optional<BackupName> parseBackupName(std::string_view name)
{
    if (!name.ends_with(kBackupExtension))
        return std::nullopt;
    name.remove_suffix(kBackupExtension.size());
    BackupName parsed;
    // The stamp ends the name, or comes before "-N"; something comes before it.
    std::size_t stampAt = 0;
    if (name.size() > kStampSize && isStamp(name.substr(name.size() - kStampSize))) {
        stampAt = name.size() - kStampSize;
    } else {
        const std::size_t dash = name.rfind('-');
        if (dash == std::string_view::npos || dash <= kStampSize)
            return std::nullopt;
        const std::string_view digits = name.substr(dash + 1);
        stampAt = dash - kStampSize;
        if (!text::allDigits(digits) || digits.size() > 9 || !isStamp(name.substr(stampAt, kStampSize)))
            return std::nullopt;
        parsed.age.number = std::stoul(std::string(digits));
    }
    parsed.age.stamp = std::string(name.substr(stampAt, kStampSize));
    const char separator = name[stampAt - 1];
    const std::string_view front = name.substr(0, stampAt - 1);
    if (separator == '-') {
        parsed.stem = front;
        return parsed;
    }
    if (separator != '.' || front.size() <= kTagSize || front[front.size() - kTagSize - 1] != '.' ||
        !isTag(front.substr(front.size() - kTagSize)))
        return std::nullopt;
    parsed.tag = front.substr(front.size() - kTagSize);
    parsed.stem = front.substr(0, front.size() - kTagSize - 1);
    return parsed;
}

// The backups in the folder that `wanted` picks, in no order.
std::vector<std::pair<BackupAge, fs::path>> backupsIn(const std::string& folder,
                                                      const std::function<bool(const BackupName&)>& wanted)
{
    std::vector<std::pair<BackupAge, fs::path>> backups;
    std::error_code error;
    for (fs::directory_iterator it(fileio::toPath(folder), error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (!it->is_regular_file(ignored))
            continue;
        const std::string name = fileio::toUtf8(it->path().filename());
        if (auto parsed = parseBackupName(name); parsed && wanted(*parsed))
            backups.emplace_back(std::move(parsed->age), it->path());
    }
    return backups;
}

std::vector<std::pair<BackupAge, fs::path>> ownBackups(const std::string& folder, const std::string& pilotPath)
{
    const std::string tag = backupOwnerTag(pilotPath);
    return backupsIn(folder, [&](const BackupName& name) { return name.tag == tag; });
}

// Removes the oldest backups of the file so that kBackupsKept remain, never
// the one just made nor `spare`. Failures to remove are left for the next
// backup.
void pruneBackups(const std::string& folder, const std::string& pilotPath, const fs::path& justMade,
                  const std::string& spare)
{
    auto backups = ownBackups(folder, pilotPath);
    if (backups.size() <= kBackupsKept)
        return;
    std::error_code error;
    const fs::path spared = spare.empty() ? fs::path() : fs::weakly_canonical(fileio::toPath(spare), error);
    const auto keep = [&](const fs::path& path) {
        std::error_code ignored;
        return path.filename() == justMade.filename() ||
               (!spared.empty() && fs::weakly_canonical(path, ignored) == spared);
    };
    std::erase_if(backups, [&](const auto& backup) { return keep(backup.second); });
    std::sort(backups.begin(), backups.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t k = kBackupsKept - 1; k < backups.size(); ++k) {
        std::error_code ignored;
        fs::remove(backups[k].second, ignored);
    }
}

std::vector<BackupFile> listed(std::vector<std::pair<BackupAge, fs::path>> backups)
{
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

FileResult backupRefusal(const std::string& pilotPath, const std::string& backupFolder, const std::string& reason)
{
    return FileResult::refused(
        "Cannot back up " + pilotPath + " to " + backupFolder + ": " + reason + ". Nothing was written.", reason);
}

}  // namespace

std::string backupOwnerKey(const std::string& pilotPath)
{
    std::error_code error;
    fs::path full = fs::absolute(fileio::toPath(pilotPath), error);
    if (!error) {
        std::error_code unresolved;
        fs::path canonical = fs::weakly_canonical(full, unresolved);
        full = unresolved ? full.lexically_normal() : canonical;
    }
    std::string key = error ? pilotPath : fileio::toUtf8(full);
#ifdef _WIN32
    for (char& c : key)
        c = c == '/' ? '\\' : text::lowerAscii(c);
#endif
    return key;
}

std::string backupOwnerTag(const std::string& pilotPath)
{
    return text::hex16(text::fnv1a64(backupOwnerKey(pilotPath)));
}

std::vector<BackupFile> listBackups(const std::string& pilotPath, const std::string& backupFolder)
{
    return listed(ownBackups(backupFolder, pilotPath));
}

std::vector<BackupFile> listOlderBackups(const std::string& pilotPath, const std::string& backupFolder)
{
    const std::string stem = fileStem(pilotPath);
    return listed(
        backupsIn(backupFolder, [&](const BackupName& name) { return name.tag.empty() && name.stem == stem; }));
}

bool isBackupOfAnotherFile(const std::string& backupPath, const std::string& pilotPath)
{
    const std::string name = fileio::toUtf8(fileio::toPath(backupPath).filename());
    const auto parsed = parseBackupName(name);
    return parsed && !parsed->tag.empty() && parsed->tag != backupOwnerTag(pilotPath);
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
    return backupStem(pilotPath) + "." + backupOwnerTag(pilotPath) + "." + stamp + std::string(kBackupExtension);
}

FileResult makeBackup(const std::string& pilotPath, std::string_view bytes, unsigned mode,
                      const std::string& backupFolder, std::time_t now, std::string* madeFile, const std::string& spare)
{
    const auto refusal = [&](const std::string& reason) { return backupRefusal(pilotPath, backupFolder, reason); };

    std::error_code error;
    fs::create_directories(fileio::toPath(backupFolder), error);
    if (error)
        return refusal(error.message());
    if (!fs::is_directory(fileio::toPath(backupFolder), error))
        return refusal("it is not a folder");

    // The copy is exactly as readable as the pilot.
    ReplaceOptions options;
    options.newFileMode = mode & 0777;
    // A link put at the backup's name is never written through.
    options.followLinks = false;
    options.mustBeNew = true;

    // A second backup within the same second gets "-2", "-3", ...; a name
    // another program's backup takes while ours is written is passed over too.
    const std::string first = backupFileName(pilotPath, now);
    const std::string base = first.substr(0, first.size() - kBackupExtension.size());
    for (unsigned number = 1; number <= kMostNumbers; ++number) {
        const std::string name =
            number == 1 ? first : base + "-" + std::to_string(number) + std::string(kBackupExtension);
        const fs::path target = fileio::toPath(backupFolder) / fileio::toPath(name);
        if (fs::exists(fs::symlink_status(target, error)))
            continue;
        const FileResult written = replaceFileAtomically(fileio::toUtf8(target), bytes, options);
        if (!written) {
            std::error_code ignored;
            if (written.cause() == kChangedMeanwhileCause && fs::exists(fs::symlink_status(target, ignored)))
                continue;
            return refusal(written.cause());
        }
        pruneBackups(backupFolder, pilotPath, target, spare);
        if (madeFile)
            *madeFile = fileio::toUtf8(target);
        return FileResult::success();
    }
    return refusal("every backup name for this second is taken");
}

BackupSession::BackupSession(std::string backupFolder, Clock clock)
      : folder_(std::move(backupFolder)), clock_(std::move(clock))
{}

std::string BackupSession::identity(const std::string& pilotPath)
{
    return backupOwnerKey(pilotPath);
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
