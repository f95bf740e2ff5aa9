// The main log's files as a window reaches them: looked at, read a piece at a
// time, written under the log's lock. The program passes systemLogFileAccess();
// a test passes files that fail where it wants them to.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/FileIdentity.h"
#include "core/mainlog/LogReader.h"
#include "core/mainlog/LogWriter.h"

namespace vantrel::mainlog {

class LogFileAccess {
public:
    virtual ~LogFileAccess() = default;

    // The file as it is now; nullopt when there is none.
    virtual std::optional<FileIdentity> identity(const std::string& path) = 0;
    // The file, opened to be read a piece at a time (PieceReader).
    virtual std::unique_ptr<LogPieces> openPieces(const std::string& path) = 0;
    // Replaces the file with `text` (write()).
    virtual WriteResult write(const std::string& path, std::string_view text, const WriteOptions& options) = 0;
};

// The files on disk, through fileIdentity(), PieceReader and write().
LogFileAccess& systemLogFileAccess();

}  // namespace vantrel::mainlog
