// Files held in memory, for a program that gets a pilot file's bytes rather
// than a path (the browser page): the loader reads them and the save replaces
// them here, and no file on any disk is touched.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "core/pilot/FileAccess.h"

namespace vantrel {

class MemoryFileAccess final : public FileAccess {
public:
    // Puts a file with these bytes under the name, replacing any before.
    void put(const std::string& name, std::string bytes) { files_[name] = std::move(bytes); }
    // The file's bytes; nullptr when there is no file of that name.
    const std::string* bytes(const std::string& name) const;
    // Removes the file and gives its bytes back (empty when there is none).
    std::string take(const std::string& name);

    // A name without a file gives nullptr with errno ENOENT.
    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override;
    // Replaces the bytes of an existing file; refused for any other name.
    FileResult replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options) override;

private:
    std::map<std::string, std::string> files_;
};

}  // namespace vantrel
