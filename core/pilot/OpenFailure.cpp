#include "core/pilot/OpenFailure.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/files/FileIO.h"
#include "core/files/FileResult.h"

namespace vantrel {

std::string openFailureCause(const std::string& path, int error)
{
    switch (error) {
    case 0: return "cannot be opened";
    case ENOENT:
    case ENOTDIR: {
        // The name is there but leads nowhere: a link whose target is gone.
        std::error_code ignored;
        const auto status = std::filesystem::symlink_status(path, ignored);
        return std::filesystem::is_symlink(status) ? "a link to a missing file" : "no such file";
    }
    case EISDIR: return "is a folder";
    case EACCES:
    case EPERM: return "permission denied";
    case ELOOP: return "a link that leads round in a circle";
    case EINVAL:
    case fileio::kNotRegularError:  // a device name on Windows
        return "is not a regular file";
    default: return FileResult::fromErrno(error).cause();
    }
}

}  // namespace vantrel
