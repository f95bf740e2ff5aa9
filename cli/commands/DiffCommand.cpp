// vantrel-cli diff: the fields that differ between two saves of a pilot, or
// between the pilots of two folders (before and after a battle).
#include <filesystem>

#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "core/files/FileIO.h"
#include "core/pilot/PilotLoader.h"
#include "core/platform/PilotFileSearch.h"
#include "core/reports/PilotDiff.h"
#include "core/reports/PilotPairs.h"

namespace vantrel::cli {

namespace {

void printLines(const Streams& io, const std::vector<std::string>& lines, const std::string& indent = {})
{
    for (const std::string& line : lines)
        writeLine(io.out, indent + line);
}

bool isFolder(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::is_directory(fileio::toPath(path), ignored);
}

// Loads both records; false after telling why either failed.
bool loadBoth(PilotRecord (&records)[2], const std::string& older, const std::string& newer, const Streams& io)
{
    bool loaded = true;
    const std::string* paths[2] = {&older, &newer};
    for (std::size_t k = 0; k < 2; ++k) {
        const LoadResult result = ReadMission(records[k], *paths[k]);
        if (!result.ok()) {
            printLoadFailure(io, *paths[k], result);
            loaded = false;
        }
    }
    return loaded;
}

// Two folders, before and after a battle: each changed pilot's lines under
// its name, then the pilots in one folder only. 0 when nothing changed, 1
// when something did, 2 when a pilot cannot be loaded or a folder searched
// (after all the rest is told).
int diffFolders(const std::string& olderFolder, const std::string& newerFolder, const Streams& io)
{
    int status = 0;
    bool failed = false;
    const auto search = [&](const std::string& folder) {
        PilotFileSearch found = findPilotFiles(folder);
        for (const FileResult& failure : found.failures) {
            printError(io, failure.message());
            failed = true;
        }
        return std::move(found.files);
    };
    const std::vector<std::string> olderFiles = search(olderFolder);
    const std::vector<std::string> newerFiles = search(newerFolder);
    const PilotPairs pairs = pairPilotFiles(olderFolder, olderFiles, newerFolder, newerFiles);
    for (const PilotPairs::Pair& pair : pairs.both) {
        PilotRecord records[2];
        if (!loadBoth(records, pair.older, pair.newer, io)) {
            failed = true;
            continue;
        }
        const std::vector<std::string> lines = diffPilots(records[0], records[1]);
        if (lines.empty())
            continue;
        status = 1;
        printLines(io, {pair.name + ":"});
        printLines(io, lines, "  ");
    }
    for (const auto& [folder, only] :
         {std::pair{&olderFolder, &pairs.onlyOlder}, std::pair{&newerFolder, &pairs.onlyNewer}}) {
        for (const std::string& path : *only) {
            status = 1;
            printLines(io, {"Only in " + *folder + ": " + pathInside(*folder, path)});
        }
    }
    return failed ? 2 : status;
}

// 0 when the files agree, 1 when they differ, 2 when one cannot be loaded.
int runDiff(const ParsedArguments& args, const Streams& io)
{
    if (args.files.size() != 2)
        throw UsageError("expected two pilot files or two folders, the older first");
    const bool folders[2] = {isFolder(args.files[0]), isFolder(args.files[1])};
    if (folders[0] != folders[1])
        throw UsageError("expected two pilot files or two folders, not one of each");
    if (folders[0])
        return diffFolders(args.files[0], args.files[1], io);
    PilotRecord records[2];
    if (!loadBoth(records, args.files[0], args.files[1], io))
        return 2;
    const std::vector<std::string> lines = diffPilots(records[0], records[1]);
    printLines(io, lines);
    return lines.empty() ? 0 : 1;
}

}  // namespace

const Command& diffCommand()
{
    static const Command command{
        "diff",
        {},
        "OLD.plt NEW.plt | OLD_FOLDER NEW_FOLDER",
        {"one line for each field that differs between two pilot files",
         "(\"field: old -> new\"), then the change of the totals; of two",
         "folders (before and after a battle), the pilots are paired by file",
         "name: each changed pilot's lines under \"NAME:\", then \"Only in",
         "FOLDER: NAME\" for the pilots in one of them only"},
        runDiff,
    };
    return command;
}

}  // namespace vantrel::cli
