// A vantrel-cli command as an object: its name, the options it takes, its
// operands and the lines --help shows under it, and what it does. The usage
// texts and the manual page's synopsis are built from these declarations.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

#include "cli/CliOptions.h"

namespace vantrel::cli {

// Where a command writes: its report on `out`, what went wrong on `err`.
struct Streams {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

struct Option {
    std::string_view name;   // "--ini"
    std::string_view value;  // what the value stands for ("PATH", "tsv|csv"); empty for an option without one
    bool required = false;   // the command cannot run without it
};

struct Command {
    std::string_view name;
    std::vector<Option> options;
    std::string_view operands;            // "PILOT.plt", "PATH..." (a trailing "..." repeats it)
    std::vector<std::string_view> about;  // the lines --help shows below the synopsis
    // The process's exit status: 0 success, 1 a file failed (diff: the files
    // differ), 2 a usage error (diff: a file cannot be loaded). Throws
    // UsageError, or UnreadableSettings from openSettings.
    int (*run)(const ParsedArguments& args, const Streams& io);
};

}  // namespace vantrel::cli
