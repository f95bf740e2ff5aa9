// The outcome of a file operation of the core: success, or why it failed.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace vantrel {

// The cause told for a path that names something other than a file: a FIFO,
// a socket or a device.
inline constexpr std::string_view kNotRegularFileCause = "it is not a regular file";
// The cause told for a file whose permission bits allow no writing (on
// Windows: with the read-only attribute).
inline constexpr std::string_view kReadOnlyCause = "the file is read-only";
// The cause told for a link where the program writes only files of its own.
inline constexpr std::string_view kSymbolicLinkCause = "it is a symbolic link";
// The cause told for a file larger than its reader takes.
inline constexpr std::string_view kTooLargeCause = "the file is too large";

// Every file operation of the core reports this way: ok, or the cause and,
// for an operation the user asked for, the message that tells of it.
class [[nodiscard]] FileResult {
public:
    // A success may carry the text that tells of it ("Update complete.").
    static FileResult success(std::string message = {}) { return FileResult(true, std::move(message), {}); }
    // `cause` says why, in the system's words where it has them
    // ("Permission denied", "No space left on device").
    static FileResult failure(std::string cause) { return FileResult(false, {}, std::move(cause)); }
    // A failure with the text to show ("Cannot back up ...") and its cause.
    static FileResult refused(std::string message, std::string cause = {})
    {
        return FileResult(false, std::move(message), std::move(cause));
    }
    // The system's text for an errno value.
    static FileResult fromErrno(int error);

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& cause() const { return cause_; }
    // The text to show; the cause itself when no message was given.
    const std::string& message() const { return message_.empty() ? cause_ : message_; }

private:
    FileResult(bool ok, std::string message, std::string cause)
          : ok_(ok), message_(std::move(message)), cause_(std::move(cause))
    {}

    bool ok_;
    std::string message_;
    std::string cause_;
};

// "Cannot create file PATH.": the message of a file the program could not
// write, its cause told beside it.
std::string cannotCreateFileMessage(const std::string& path);

// A failure whose message is a fixed text of the program and whose cause
// (the system's reason) is told beside it, so a window can show the text as
// it stands and the cause as the box's details.
class CausedError : public std::runtime_error {
public:
    CausedError(const std::string& message, std::string cause) : std::runtime_error(message), cause_(std::move(cause))
    {}
    const std::string& cause() const { return cause_; }

private:
    std::string cause_;
};

}  // namespace vantrel
