// A pilot file image held in memory, read the way a file is read: the
// loader can then take apart bytes the program already holds.
#pragma once

#include <string>
#include <string_view>

#include "core/pilot/FileAccess.h"

namespace vantrel {

// Every name opens the one image, read-only: writes and replaces fail.
class ImageFileAccess final : public FileAccess {
public:
    explicit ImageFileAccess(std::string_view bytes) : bytes_(bytes) {}
    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override;
    FileResult replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options) override;

private:
    std::string_view bytes_;  // held by the caller for as long as this lives
};

}  // namespace vantrel
