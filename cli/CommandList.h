// Every vantrel-cli command, in the order --help and the manual page list them.
// A new command is a file in cli/commands/ and one line in CommandList.cpp.
#pragma once

#include <span>

#include "cli/Command.h"

namespace vantrel::cli {

const Command& reportCommand();
const Command& missionsCommand();
const Command& entryCommand();
const Command& setCommand();
const Command& tableCommand();
const Command& diffCommand();
const Command& chartCommand();
const Command& backupsCommand();
const Command& restoreCommand();

std::span<const Command* const> commandList();

}  // namespace vantrel::cli
