// The vantrel-cli commands that draw a pilot or a squadron and that use a
// pilot's backups: chart, backups, restore.
#pragma once

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"

namespace vantrel::cli {

// chart --kind missions|kills|squadron|history [--column NAME] PATH...
int runChart(const ParsedArguments& args, const Streams& io);
// backups PILOT.plt
int runBackups(const ParsedArguments& args, const Streams& io);
// restore PILOT.plt BACKUP
int runRestore(const ParsedArguments& args, const Streams& io);

}  // namespace vantrel::cli
