#include "core/mainlog/LogFileAccess.h"

namespace vantrel::mainlog {

namespace {

class SystemLogFileAccess final : public LogFileAccess {
public:
    std::optional<FileIdentity> identity(const std::string& path) override { return fileIdentity(path); }
    std::unique_ptr<LogPieces> openPieces(const std::string& path) override
    {
        return std::make_unique<PieceReader>(path);
    }
    WriteResult write(const std::string& path, std::string_view text, const WriteOptions& options) override
    {
        return mainlog::write(path, text, options);
    }
};

}  // namespace

LogFileAccess& systemLogFileAccess()
{
    static SystemLogFileAccess files;
    return files;
}

}  // namespace vantrel::mainlog
