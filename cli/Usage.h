// The texts that describe vantrel-cli, built from the commands' declarations:
// --help, the short usage after a usage error, the manual page's synopsis.
#pragma once

#include <span>
#include <string>

#include "cli/Command.h"

namespace vantrel::cli {

std::string helpText(std::span<const Command* const> commands);
std::string shortUsage(std::span<const Command* const> commands);
// The SYNOPSIS section's lines in roff, one block per command.
std::string manSynopsis(std::span<const Command* const> commands);

}  // namespace vantrel::cli
