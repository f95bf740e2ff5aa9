// The vantrel-cli commands. Each returns the process's exit status:
// 0 success, 1 a file failed (diff: the files differ), 2 a usage error (diff: a file cannot be loaded).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace vantrel::cli {

struct Streams {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

int run(const std::vector<std::string>& args, const Streams& io = {});

}  // namespace vantrel::cli
