#include "core/pilot/OwnSaves.h"

#include <charconv>
#include <filesystem>
#include <optional>
#include <sstream>
#include <vector>

#include "core/files/AtomicFile.h"
#include "core/files/FileIO.h"
#include "core/files/FileLock.h"
#include "core/pilot/PilotLayout.h"
#include "core/platform/PlatformPaths.h"
#include "core/text/TextRules.h"

namespace vantrel {

namespace {

// One line of the journal: "volume index size mtime digest", in decimal
// except the digest (16 hex digits).
struct Record {
    FileIdentity identity;
    std::uint64_t digest = 0;
};

std::string lineOf(const Record& record)
{
    return std::to_string(record.identity.volume) + ' ' + std::to_string(record.identity.index) + ' ' +
           std::to_string(record.identity.size) + ' ' + std::to_string(record.identity.mtimeNs) + ' ' +
           text::hex16(record.digest) + '\n';
}

template <class Number>
bool take(std::string_view& rest, Number& value, int base = 10)
{
    const std::size_t end = std::min(rest.find(' '), rest.size());
    const auto [stop, error] = std::from_chars(rest.data(), rest.data() + end, value, base);
    if (error != std::errc() || stop != rest.data() + end)
        return false;
    rest.remove_prefix(std::min(end + 1, rest.size()));
    return true;
}

std::optional<Record> parse(std::string_view line)
{
    Record record;
    if (take(line, record.identity.volume) && take(line, record.identity.index) && take(line, record.identity.size) &&
        take(line, record.identity.mtimeNs) && take(line, record.digest, 16) && line.empty())
        return record;
    return std::nullopt;  // a damaged line plays no part
}

// The journal's lines, oldest first; none when it is missing or unreadable.
std::vector<std::string> readLines(const std::string& journal)
{
    std::string bytes;
    // A journal never nears this; a larger file is no journal of ours.
    constexpr std::size_t kLargest = 64 * OwnSaves::kRecordsKept * 80;
    if (!fileio::readWholeFile(journal, bytes, kLargest))
        return {};
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        if (end > start)
            lines.emplace_back(bytes, start, end - start);
        start = end + 1;
    }
    return lines;
}

}  // namespace

OwnSaves::OwnSaves(std::string journalFile, std::chrono::milliseconds lockWait)
      : file_(std::move(journalFile)), lockWait_(lockWait)
{}

std::string OwnSaves::notRecordedMessage(const std::string& journalFile)
{
    return cannotCreateFileMessage(journalFile) +
           " The save stands, but it is not noted as Vantrel's own, so a watching Vantrel may offer it as a save of "
           "the game.";
}

std::string OwnSaves::journalFile() const
{
    return file_.empty() ? paths::ownSavesJournal() : file_;
}

std::uint64_t OwnSaves::digest(std::string_view bytes)
{
    return text::fnv1a64(bytes);
}

FileResult OwnSaves::record(const FileIdentity& placed, std::string_view bytes) const
{
    const std::string journal = journalFile();
    const auto failed = [&](const FileResult& why) {
        return FileResult::refused(notRecordedMessage(journal), why.cause());
    };
    std::error_code ignored;
    std::filesystem::create_directories(fileio::toPath(text::folderOf(journal)), ignored);
    // A link is refused before its lock is taken: the lock of a link is the
    // lock of the file it leads to, beside that file.
    if (fileio::linkTarget(journal) != journal)
        return failed(FileResult::failure(std::string(kSymbolicLinkCause)));
    // Two programs recording at once take turns, so neither loses the other's line.
    FileLock lock;
    if (FileResult locked = lock.acquire(journal, lockWait_); !locked)
        return failed(locked);
    std::vector<std::string> lines = readLines(journal);
    if (lines.size() >= kRecordsKept)
        lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(kRecordsKept - 1));
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\n");
    text += lineOf(Record{placed, digest(bytes)});
    ReplaceOptions options;
    options.followLinks = false;
    if (FileResult replaced = replaceFileAtomically(journal, text, options); !replaced)
        return failed(replaced);
    return FileResult::success();
}

bool OwnSaves::holds(const std::string& path) const
{
    const std::optional<FileIdentity> now = fileIdentity(path);
    if (!now)
        return false;
    bool sameFile = false;
    std::vector<std::uint64_t> digests;
    for (const std::string& line : readLines(journalFile())) {
        const std::optional<Record> record = parse(line);
        if (!record)
            continue;
        if (record->identity == *now)
            return true;
        if (record->identity.volume == now->volume && record->identity.index == now->index &&
            record->identity.size == now->size) {
            sameFile = true;
            digests.push_back(record->digest);
        }
    }
    if (!sameFile)
        return false;
    std::string bytes;
    if (!fileio::readWholeFile(path, bytes, static_cast<std::size_t>(layout::kPilotFileSize) + 1) ||
        fileIdentity(path) != now)
        return false;
    const std::uint64_t hash = digest(bytes);
    for (const std::uint64_t recorded : digests)
        if (recorded == hash)
            return true;
    return false;
}

}  // namespace vantrel
