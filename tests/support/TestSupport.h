// Shared helpers for the core tests: temporary folders, in-memory settings,
// pilot files built field by field, a file seam that fails on demand, and a
// runner for the command-line program.
#pragma once

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
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

// A new empty folder in the system's temporary folder.
std::filesystem::path makeTempDir();

// Marks a file read-only (no write permission bits on POSIX, the read-only
// attribute on Windows) or writable again.
void setReadOnly(const std::string& path, bool readOnly);

// Whether the tests run as root, who may read and write any file.
bool runningAsRoot();

// Sets an environment variable, or removes it when `value` is nullopt; the
// C library then takes a changed TZ into account.
void setEnvironment(const char* name, const std::optional<std::string>& value);

// The environment variables the program's places come from
// (core/platform/PlatformPaths.h): the user's home folder, the folder that
// holds the settings file (vantrel.ini in it on POSIX, Vantrel\vantrel.ini
// on Windows), and the folder of the program's data (the backups and the
// journal of its own saves, in vantrel/ or Vantrel\ in it).
#ifdef _WIN32
inline constexpr const char* kHomeVariable = "USERPROFILE";
inline constexpr const char* kConfigHomeVariable = "APPDATA";
inline constexpr const char* kDataHomeVariable = "LOCALAPPDATA";
#else
inline constexpr const char* kHomeVariable = "HOME";
inline constexpr const char* kConfigHomeVariable = "XDG_CONFIG_HOME";
inline constexpr const char* kDataHomeVariable = "XDG_DATA_HOME";
#endif

// Makes `home` this process's home folder, with its settings in the
// folder ".config" in it, on either system (named with the system's
// separator, as the system names its own folders).
inline void useHomeFolder(const std::string& home)
{
    setEnvironment(kHomeVariable, home);
    setEnvironment(kConfigHomeVariable, text::joinPath(home, ".config"));
}

// Runs `change` on the file `path`, then puts the file's access and
// modification times back as they were, to the system's full precision:
// a change that leaves the file's times alone. False when the times could
// not be read or set.
bool keepingFileTimes(const std::string& path, const std::function<void()>& change);

// Sets or clears one environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        setEnvironment(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }
    ~ScopedEnv() { setEnvironment(name_, old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The names in a folder.
std::set<std::string> entriesOf(const std::filesystem::path& folder);

// Makes the folder `path` and the folders on the way to it. On Windows
// through CreateDirectoryW with the \\?\ prefix, so that paths past
// MAX_PATH work (std::filesystem of mingw-w64 fails on them).
bool createFolders(const std::string& path);

// Removes `path` with everything in it: read-only files and, on Windows,
// paths past MAX_PATH too. Best effort.
void removeTree(const std::filesystem::path& path);

#ifndef _WIN32
// Files that Windows does not have, or lets only privileged users make, for
// the readers that must neither wait on nor follow them. The tests that use
// them are POSIX's.
//
// Makes a FIFO at `path`.
bool makeFifo(const std::string& path);
// Whether `path` itself, not what a link leads to, is a FIFO.
bool isFifo(const std::string& path);
// Makes `path` a symbolic link to `target`.
bool makeSymlink(const std::string& target, const std::string& path);

// Ends the test program (SIGALRM) unless destroyed within `seconds`: for a
// step that must not block, so that it fails instead of hanging the run.
class BlockingDeadline {
public:
    explicit BlockingDeadline(int seconds);
    ~BlockingDeadline();
    BlockingDeadline(const BlockingDeadline&) = delete;
    BlockingDeadline& operator=(const BlockingDeadline&) = delete;
};
#endif

#ifdef _WIN32
// Holds `path` open as another program may: for reading and writing, sharing
// nothing, until destroyed.
class HeldFile {
public:
    explicit HeldFile(const std::string& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return handle_ != nullptr; }

private:
    void* handle_ = nullptr;
};

// Sets the text value `name` of the key `key` under HKEY_CURRENT_USER, as an
// installer leaves it, for the life of the object; then puts back the value
// that was there, or removes it (and the key, when the object made it).
class ScopedUserRegistryValue {
public:
    ScopedUserRegistryValue(const std::string& key, const std::string& name, const std::string& value);
    ~ScopedUserRegistryValue();
    ScopedUserRegistryValue(const ScopedUserRegistryValue&) = delete;
    ScopedUserRegistryValue& operator=(const ScopedUserRegistryValue&) = delete;
    bool set() const { return set_; }

private:
    std::string key_;
    std::string name_;
    std::optional<std::wstring> old_;
    bool madeKey_ = false;
    bool set_ = false;
};

// The running test run again in a child process of the test program, with
// `task` handed to it: what fork() shows on POSIX, a writer killed or held
// in the middle of a write, for Windows, where a process cannot copy itself.
// The test asks task() first: in the child it does the task and calls
// pauseHere() where the parent is to step in.
class ChildTest {
public:
    // `test` is the test's full name ("Suite.Name").
    ChildTest(const std::string& test, const std::string& task);
    ~ChildTest();  // a child still running is killed
    ChildTest(const ChildTest&) = delete;
    ChildTest& operator=(const ChildTest&) = delete;

    // Waits until the child reaches pauseHere(): false when it ended first,
    // could not be started or took longer than `seconds`.
    bool waitForPause(int seconds);
    // Kills the child (TerminateProcess) and waits for its end.
    void kill();
    // Lets a paused child go on, and waits for its end: its exit status
    // (0 when its test passed), -1 when it took longer than `seconds`.
    int resumeAndWait(int seconds);

    // In the child: the task handed to it; nullopt in the test program
    // itself.
    static std::optional<std::string> task();
    // In the child: tells the parent, then waits until it is let go on (or
    // killed).
    static void pauseHere();

private:
    void* process_ = nullptr;
    void* paused_ = nullptr;
    void* resume_ = nullptr;
};
#endif

class TempDir {
public:
    TempDir() : path_(makeTempDir()) {}
    ~TempDir()
    {
#ifdef _WIN32
        removeTree(path_);
#else
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
#endif
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const
    {
        return path_;
    }
    std::string file(const std::string& name) const
    {
        return fileio::toUtf8(path_ / fileio::toPath(name));
    }

private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(fileio::toPath(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(fileio::toPath(path), std::ios::binary | std::ios::trunc);
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

#ifdef VANTREL_REAL_PILOTS_DIR
inline std::string realPilotsDir()
{
    return VANTREL_REAL_PILOTS_DIR;
}

// The full name of one of the two real pilot files that lie beside the
// checkout, or "" when that folder is absent (a clone on its own).
inline std::string realPilot(const std::string& name)
{
    const std::filesystem::path path = fileio::toPath(realPilotsDir()) / fileio::toPath(name);
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored) ? fileio::toUtf8(path) : std::string();
}

// Skips the running test when a real pilot file is not there, saying so.
#define VANTREL_REQUIRE_REAL_PILOT(variable, name)                                                           \
    const std::string variable = ::vantrel::testing::realPilot(name);                                        \
    if (variable.empty())                                                                                    \
    GTEST_SKIP() << "the real pilot file " << (name) << " is not in " << ::vantrel::testing::realPilotsDir() \
                 << " beside this checkout; skipped"
#endif

// Runs `body` apart from the test (a child process on POSIX, a thread on
// Windows) and gives back the text it returned, or nothing when it did not
// return within `seconds` (a child is then killed) or died: for code that
// must never block, so that a regression fails the test instead of hanging
// it.
std::optional<std::string> resultWithin(int seconds, const std::function<std::string()>& body);

// What one run of vantrel-cli gave back.
struct CliRun {
    int status = -1;        // exit status, -1 when it did not exit normally
    bool timedOut = false;  // killed after the time limit
    std::string out;
    std::string err;
};

// Runs the program `program` with `arguments` as a shell would split them
// (single or double quotes group a word; on Windows a backslash is a path's
// own). HOME and XDG_CONFIG_HOME (on Windows USERPROFILE and APPDATA) are
// `home`, XDG_DATA_HOME (LOCALAPPDATA) is its "data" folder, TZ is UTC and
// LC_ALL is C; the output streams pass through the files "stdout" and
// "stderr" in `home`. A run that takes longer than `limitSeconds` is killed
// and counts as failed, so a command that blocks fails its test instead of
// hanging it. On Windows the test program starts the .exe itself.
CliRun runProgram(const std::string& program, const TempDir& home, const std::string& arguments, int limitSeconds);

// The settings file a program run by runProgram in `home` reads when given
// no --ini: vantrel.ini in it on POSIX, Vantrel\vantrel.ini in it (as
// %APPDATA%) on Windows.
inline std::string userSettingsFile(const TempDir& home)
{
#ifdef _WIN32
    return home.file("Vantrel\\vantrel.ini");
#else
    return home.file("vantrel.ini");
#endif
}

#ifdef VANTREL_CLI_PATH
// Runs the real vantrel-cli (see runProgram).
inline CliRun runCli(const TempDir& home, const std::string& arguments, int limitSeconds = 60)
{
    return runProgram(VANTREL_CLI_PATH, home, arguments, limitSeconds);
}
#endif

}  // namespace vantrel::testing
