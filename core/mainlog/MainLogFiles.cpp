#include "core/mainlog/MainLogFiles.h"

namespace vantrel::mainlog {

namespace {

class SystemLogFiles final : public MainLogFiles {
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

MainLogFiles& systemLogFiles()
{
    static SystemLogFiles files;
    return files;
}

}  // namespace vantrel::mainlog
