// What the vantrel-cli commands share: writing lines, telling failures, the
// settings they read and the one load step of a pilot file.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "core/app/PilotViewing.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotRecord.h"
#include "core/reports/MissionRange.h"
#include "core/reports/TextSink.h"
#include "core/settings/SettingsStore.h"

namespace vantrel::cli {

// Everything vantrel-cli prints goes through these two, on stdout and stderr
// alike. Output is UTF-8 whatever bytes a file name holds and shows no
// terminal control a pilot or file name carries: text::terminalSafe. A text
// (a table, an SVG document) keeps its tabs and line ends; a line keeps its
// tabs, and a CR or LF inside it shows as U+FFFD, so that no name breaks a
// line in two.
void writeText(std::FILE* out, std::string_view text);
void writeLine(std::FILE* out, std::string_view line);

// Report lines on a stream, each ended by LF.
class LineWriter final : public TextSink {
public:
    explicit LineWriter(std::FILE* out) : out_(out) {}
    void addLine(std::string_view line) override;
    void clear() override {}

private:
    std::FILE* out_;
};

void printError(const Streams& io, const std::string& text);
// A fixed failure text, then the system's reason on a line of its own.
void printFailure(const Streams& io, const std::string& text, const std::string& cause);

// What a failed load tells, each line after the file's name as given
// ("FILE: no such file"), so that the failures of many files can be told apart.
void printLoadFailure(const Streams& io, const std::string& path, const LoadResult& result);

// The pilot files the PATHs name, a folder searched through its subfolders;
// a folder that cannot be searched is told and makes `status` 1.
std::vector<std::string> pilotFilesIn(const std::vector<std::string>& paths, const Streams& io, int& status);

void requireOneFile(const ParsedArguments& args);

// A settings file named with --ini that cannot be read: the command stops
// before it reads or writes anything else.
class UnreadableSettings : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The store over --ini PATH, or over the user's settings file. The file is
// looked at once here (without waiting on a FIFO or device): a file named
// with --ini must be readable (UnreadableSettings otherwise); the user's own
// file may be absent, and one that is there but cannot be read is told on
// io.err while the command goes on with the defaults.
std::unique_ptr<SettingsStore> openSettings(const ParsedArguments& args, const Streams& io);

// One pilot as the pilot view holds it after a load.
using LoadedPilot = app::PilotView;

// Reads the settings file anew and loads the pilot file, To set to the
// completed missions; false after printing the load's message-box texts.
bool readPilot(LoadedPilot& pilot, const std::string& path, SettingsStore& settings, const Streams& io);

// The load step as the pilot view takes it: readPilot, then the pilot report
// into `report` (nothing shown unless a sink is given). False after printing
// why: the load's messages, or the setting that is not a whole number.
bool loadPilot(LoadedPilot& pilot, const std::string& path, SettingsStore& settings, const Streams& io);
bool loadPilot(LoadedPilot& pilot, const std::string& path, SettingsStore& settings, const Streams& io,
               TextSink& report);

}  // namespace vantrel::cli
