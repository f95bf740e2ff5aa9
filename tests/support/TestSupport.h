// Shared helpers for the core tests: temporary folders, in-memory settings,
// pilot files built field by field, a file seam that fails on demand, and a
// runner for the command-line program.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/files/FileIO.h"
#include "core/pilot/FileAccess.h"
#include "tests/support/PilotImage.h"
#include "core/settings/Settings.h"
#include "core/text/TextRules.h"

namespace vantrel::testing {

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Settings held in memory; keys match without regard to case.
class MemorySettings final : public Settings {
public:
    std::string ReadString(std::string_view, std::string_view key, std::string_view fallback) override
    {
        const auto it = values.find(lower(key));
        return it == values.end() ? std::string(fallback) : it->second;
    }
    void WriteString(std::string_view, std::string_view key, std::string_view value) override
    {
        values[lower(key)] = std::string(value);
    }
    void UpdateFile() override { ++updates; }
    void set(std::string_view key, std::string_view value) { WriteString(kSettingsSection, key, value); }

    std::map<std::string, std::string> values;
    int updates = 0;

private:
    static std::string lower(std::string_view s)
    {
        std::string out(s);
        for (auto& c : out)
            c = text::lowerAscii(c);
        return out;
    }
};

// Wraps the real file system; the n-th operation of a kind (counted from 1
// over the whole life of the seam) fails.
class FailingFileAccess final : public FileAccess {
public:
    enum class Op { Open, Seek, Read, Write };
    std::map<Op, std::vector<int>> failOn;
    std::map<Op, int> counts;

    bool shouldFail(Op op)
    {
        const int n = ++counts[op];
        for (int k : failOn[op])
            if (k == n || k == -1)
                return true;
        return false;
    }

    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override;

    // What another program does to the file right before the save replaces
    // it, and a failure to report instead of replacing.
    std::function<void()> beforeReplace;
    std::string replaceFailure;
    FileResult replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options) override
    {
        if (beforeReplace)
            beforeReplace();
        if (!replaceFailure.empty())
            return FileResult::failure(replaceFailure);
        return FileAccess::replace(path, bytes, options);
    }
};

class FailingFile final : public OpenFile {
public:
    FailingFile(std::unique_ptr<OpenFile> inner, FailingFileAccess& owner) : inner_(std::move(inner)), owner_(owner) {}
    std::int64_t size() override { return inner_->size(); }
    bool seek(std::int64_t offset) override
    {
        return !owner_.shouldFail(FailingFileAccess::Op::Seek) && inner_->seek(offset);
    }
    bool read(void* buffer, std::size_t count) override
    {
        return !owner_.shouldFail(FailingFileAccess::Op::Read) && inner_->read(buffer, count);
    }
    bool write(const void* buffer, std::size_t count) override
    {
        return !owner_.shouldFail(FailingFileAccess::Op::Write) && inner_->write(buffer, count);
    }
    bool atEnd() override { return inner_->atEnd(); }
    bool flush() override { return inner_->flush(); }
    std::optional<Status> status() override { return inner_->status(); }

private:
    std::unique_ptr<OpenFile> inner_;
    FailingFileAccess& owner_;
};

inline std::unique_ptr<OpenFile> FailingFileAccess::open(const std::string& path, OpenMode mode)
{
    if (shouldFail(Op::Open))
        return nullptr;
    auto inner = systemFileAccess().open(path, mode);
    if (!inner)
        return nullptr;
    return std::make_unique<FailingFile>(std::move(inner), *this);
}

inline std::string realPilotsDir()
{
    return VANTREL_REAL_PILOTS_DIR;
}

// The full name of one of the two real pilot files that lie beside the
// checkout, or "" when that folder is absent (a clone on its own).
inline std::string realPilot(const std::string& name)
{
    const std::filesystem::path path = std::filesystem::path(realPilotsDir()) / name;
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored) ? path.string() : std::string();
}

// Skips the running test when a real pilot file is not there, saying so.
#define VANTREL_REQUIRE_REAL_PILOT(variable, name)                                                      \
    const std::string variable = ::vantrel::testing::realPilot(name);                                   \
    if (variable.empty())                                                                                \
    GTEST_SKIP() << "the real pilot file " << (name) << " is not in " << ::vantrel::testing::realPilotsDir() \
                 << " beside this checkout; skipped"

// Runs `body` in a child process and gives back the text it returned, or
// nothing when it did not return within `seconds` (the child is then
// killed) or died: for code that must never block, so that a regression
// fails the test instead of hanging it.
inline std::optional<std::string> resultWithin(int seconds, const std::function<std::string()>& body)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(channel[0]);
        ::alarm(static_cast<unsigned>(seconds) + 1);  // should the parent be gone
        std::string result;
        try {
            result = body();
        } catch (const std::exception& e) {
            result = std::string("exception: ") + e.what();
        }
        ::_exit(fileio::writeAll(channel[1], result) ? 0 : 3);
    }
    ::close(channel[1]);
    std::string result;
    bool finished = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd wait {channel[0], POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char buffer[4096];
        const ssize_t n = ::read(channel[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            finished = n == 0;
            break;
        }
        result.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(channel[0]);
    if (!finished)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!finished || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return result;
}

#ifdef VANTREL_CLI_PATH
// What one run of vantrel-cli gave back.
struct CliRun {
    int status = -1;  // exit status, -1 when it did not exit normally
    bool timedOut = false;  // killed after the time limit
    std::string out;
    std::string err;
};

// Runs the real vantrel-cli through the shell with `arguments` as given (quote
// paths that need it). HOME and XDG_CONFIG_HOME are `home`, XDG_DATA_HOME is
// its "data" folder, TZ is UTC and LC_ALL is C; the output streams pass
// through the files "stdout" and "stderr" in `home`. A run that takes longer
// than `limitSeconds` is killed and counts as failed, so a command that
// blocks fails its test instead of hanging it.
inline CliRun runCli(const TempDir& home, const std::string& arguments, int limitSeconds = 60)
{
    const std::string dir = home.path().string();
    const std::string out = home.file("stdout"), err = home.file("stderr");
    const std::string command = "HOME='" + dir + "' XDG_CONFIG_HOME='" + dir + "' XDG_DATA_HOME='" + home.file("data") +
                                "' TZ=UTC LC_ALL=C exec '" VANTREL_CLI_PATH "' " + arguments + " > '" + out + "' 2> '" +
                                err + "'";
    CliRun run;
    const pid_t child = ::fork();
    if (child == 0) {
        ::setpgid(0, 0);
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (child < 0)
        return run;
    ::setpgid(child, child);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
    int raw = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &raw, WNOHANG);
        if (done == child)
            break;
        if (done < 0 && errno != EINTR)
            return run;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(-child, SIGKILL);
            while (::waitpid(child, &raw, 0) < 0 && errno == EINTR) {
            }
            run.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.status = !run.timedOut && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}
#endif

}  // namespace vantrel::testing
