// Command-line parsing for vantrel-cli: options take their value as the next
// argument or after "=", "--" ends the options, everything else is a file.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantrel::cli {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ParsedArguments {
    std::map<std::string, std::string> options;  // "--ini" -> value
    std::set<std::string> switches;              // "--help"
    std::vector<std::string> files;

    std::optional<std::string> option(const std::string& name) const;
    // The option's value as a 32-bit whole number; UsageError when it is not one.
    std::optional<std::int32_t> numberOption(const std::string& name) const;
};

// `valued` lists the options that take a value, `flags` those that do not.
// Throws UsageError for an unknown option or a missing value.
ParsedArguments parseArguments(const std::vector<std::string>& args, const std::set<std::string>& valued,
                               const std::set<std::string>& flags);

}  // namespace vantrel::cli
