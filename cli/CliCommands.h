// vantrel-cli's entry point: finds the command the arguments name, parses its
// options and runs it. Returns the process's exit status (see Command::run;
// 2 for a usage error).
#pragma once

#include <string>
#include <vector>

#include "cli/Command.h"

namespace vantrel::cli {

int run(const std::vector<std::string>& args, const Streams& io = {});

}  // namespace vantrel::cli
