// The test support's processes and temporary folders on POSIX.
#include "tests/support/TestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantrel::testing {

std::filesystem::path makeTempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-test-XXXXXX").string();
    return ::mkdtemp(pattern.data());
}

std::optional<std::string> resultWithin(int seconds, const std::function<std::string()>& body)
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
        const FileHandle out(channel[1]);
        ::_exit(fileio::writeAll(out, result) ? 0 : 3);
    }
    ::close(channel[1]);
    std::string result;
    bool finished = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd wait{channel[0], POLLIN, 0};
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

CliRun runProgram(const std::string& program, const TempDir& home, const std::string& arguments, int limitSeconds)
{
    const std::string dir = home.path().string();
    const std::string out = home.file("stdout"), err = home.file("stderr");
    const std::string command = "HOME='" + dir + "' XDG_CONFIG_HOME='" + dir + "' XDG_DATA_HOME='" + home.file("data") +
                                "' TZ=UTC LC_ALL=C exec '" + program + "' " + arguments + " > '" + out + "' 2> '" +
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

}  // namespace vantrel::testing

namespace vantrel::testing {

void setReadOnly(const std::string& path, bool readOnly)
{
    ::chmod(path.c_str(), readOnly ? 0444 : 0644);
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

void setEnvironment(const char* name, const std::optional<std::string>& value)
{
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
    ::tzset();
}

std::set<std::string> entriesOf(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.insert(fileio::toUtf8(it->path().filename()));
    return names;
}

bool createFolders(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return !error && std::filesystem::is_directory(path, error);
}

void removeTree(const std::filesystem::path& path)
{
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path, ignored);
}

bool keepingFileTimes(const std::string& path, const std::function<void()>& change)
{
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0)
        return false;
    change();
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool makeFifo(const std::string& path)
{
    return ::mkfifo(path.c_str(), 0600) == 0;
}

bool isFifo(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

bool makeSymlink(const std::string& target, const std::string& path)
{
    return ::symlink(target.c_str(), path.c_str()) == 0;
}

BlockingDeadline::BlockingDeadline(int seconds)
{
    ::alarm(static_cast<unsigned>(seconds));
}

BlockingDeadline::~BlockingDeadline()
{
    ::alarm(0);
}

}  // namespace vantrel::testing
