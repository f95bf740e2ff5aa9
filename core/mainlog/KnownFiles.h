// What a program knows of the log files it loaded or wrote during its run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/files/FileIdentity.h"

namespace vantrel::mainlog {

// What a program knows of the log files it loaded or wrote during its run, so
// that it replaces none unasked that it never held, could not load, or that
// another program changed since. A file is known by its canonical path, and by its
// device and inode under any other name.
class KnownFiles {
public:
    enum class Risk {
        None,       // no file, or one as we left it
        NotHeld,    // an existing file we never loaded nor wrote
        NotLoaded,  // the file exists but could not be loaded
        Changed,    // changed, replaced or created since we saw it
    };

    // The file was read and had `identity`; nullopt when there was none.
    void loaded(const std::string& path, const std::optional<FileIdentity>& identity);
    // The file exists but could not be loaded.
    void loadFailed(const std::string& path, const std::optional<FileIdentity>& identity);
    // We wrote the file and left it with `identity`: what it was is no
    // longer at stake.
    void written(const std::string& path, const std::optional<FileIdentity>& identity);

    // What replacing the file `path` names would put at risk, given its
    // identity now (nullopt when there is no file).
    Risk risk(const std::string& path, const std::optional<FileIdentity>& now) const;

private:
    struct Seen {
        std::string key;
        std::optional<FileIdentity> identity;
        bool loadFailed = false;
    };
    Seen& entryFor(const std::string& path, const std::optional<FileIdentity>& identity);
    const Seen* find(const std::string& path, const std::optional<FileIdentity>& now) const;

    std::vector<Seen> seen_;
};

}  // namespace vantrel::mainlog
