// The test support's processes and temporary folders on Windows: the test
// program is a Windows program, so it starts vantrel-cli.exe itself.
#include "tests/support/TestSupport.h"

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <random>

namespace vantrel::testing {

namespace {

std::wstring wide(const std::string& utf8)
{
    return fileio::toPath(utf8).wstring();
}

// The words of a command as a POSIX shell splits them: blanks separate,
// single and double quotes group. Backslashes are kept: they are Windows
// paths' own.
std::vector<std::string> shellWords(const std::string& command)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (const char c : command) {
        if (quote != 0) {
            if (c == quote)
                quote = 0;
            else
                word += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

// One argument quoted the way CommandLineToArgvW and the C runtime read it.
std::wstring quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
        } else if (c == L'"') {
            out.append(backslashes * 2 + 1, L'\\');
            out += c;
            backslashes = 0;
            continue;
        } else {
            backslashes = 0;
        }
        out += c;
    }
    out.append(backslashes, L'\\');
    return out + L"\"";
}

HANDLE inheritedFile(const std::string& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES inherit {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The environment block of this process with `changes` set in it.
std::wstring environmentWith(const std::vector<std::pair<std::wstring, std::wstring>>& changes)
{
    std::wstring block;
    wchar_t* current = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = current; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        const std::wstring text(entry);
        bool replaced = false;
        for (const auto& [name, value] : changes) {
            if (text.size() > name.size() && text[name.size()] == L'=' &&
                ::CompareStringOrdinal(text.c_str(), static_cast<int>(name.size()), name.c_str(), static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
                replaced = true;
        }
        if (!replaced)
            block.append(text).push_back(L'\0');
    }
    ::FreeEnvironmentStringsW(current);
    for (const auto& [name, value] : changes)
        block.append(name).append(L"=").append(value).push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

}  // namespace

std::filesystem::path makeTempDir()
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (;;) {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("vantrel-test-" + std::to_string(random() % 1'000'000'000));
        std::error_code error;
        if (std::filesystem::create_directory(path, error))
            return path;
        if (error)
            return path;
    }
}

std::optional<std::string> resultWithin(int seconds, const std::function<std::string()>& body)
{
    // A thread that blocks cannot be stopped; it is left behind, and the
    // process's end takes it along.
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<std::string> result;
    };
    const auto shared = std::make_shared<Shared>();
    std::thread([shared, body] {
        std::string result;
        try {
            result = body();
        } catch (const std::exception& e) {
            result = std::string("exception: ") + e.what();
        }
        const std::lock_guard<std::mutex> lock(shared->mutex);
        shared->result = std::move(result);
        shared->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(shared->mutex);
    shared->done.wait_for(lock, std::chrono::seconds(seconds), [&] { return shared->result.has_value(); });
    return shared->result;
}

CliRun runProgram(const std::string& program, const TempDir& home, const std::string& arguments, int limitSeconds)
{
    CliRun run;
    const std::string dir = fileio::toUtf8(home.path());
    const std::string out = home.file("stdout"), err = home.file("stderr");
    std::wstring commandLine = quoted(wide(program));
    for (const std::string& word : shellWords(arguments))
        commandLine += L" " + quoted(wide(word));
    std::wstring environment = environmentWith({
        {L"USERPROFILE", wide(dir)},
        {L"APPDATA", wide(dir)},
        {L"LOCALAPPDATA", wide(home.file("data"))},
        {L"HOME", wide(dir)},
        {L"TZ", L"UTC"},
        {L"LC_ALL", L"C"},
    });

    const HANDLE input = inheritedFile("NUL", GENERIC_READ, OPEN_EXISTING);
    const HANDLE output = inheritedFile(out, GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE errors = inheritedFile(err, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = errors;
    PROCESS_INFORMATION started {};
    const BOOL ok = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                     CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(), nullptr, &startup,
                                     &started);
    ::CloseHandle(input);
    ::CloseHandle(output);
    ::CloseHandle(errors);
    if (!ok)
        return run;
    const DWORD waited = ::WaitForSingleObject(started.hProcess, static_cast<DWORD>(limitSeconds) * 1000);
    if (waited != WAIT_OBJECT_0) {
        ::TerminateProcess(started.hProcess, 255);
        ::WaitForSingleObject(started.hProcess, INFINITE);
        run.timedOut = true;
    } else {
        DWORD code = 0;
        ::GetExitCodeProcess(started.hProcess, &code);
        run.status = static_cast<int>(code);
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

}  // namespace vantrel::testing

namespace vantrel::testing {

void setReadOnly(const std::string& path, bool readOnly)
{
    const std::wstring name = wide(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    ::SetFileAttributesW(name.c_str(), readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY));
}

bool runningAsRoot()
{
    return false;
}

void setEnvironment(const char* name, const std::optional<std::string>& value)
{
    // The C library's copy first: it sets the system's from its own code page.
    ::_putenv_s(name, value ? value->c_str() : "");
    const std::wstring wideName = wide(name);
    ::SetEnvironmentVariableW(wideName.c_str(), value ? wide(*value).c_str() : nullptr);
    ::_tzset();
}

std::set<std::string> entriesOf(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.insert(fileio::toUtf8(it->path().filename()));
    return names;
}

HeldFile::HeldFile(const std::string& path)
{
    const HANDLE handle = ::CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        handle_ = handle;
}

HeldFile::~HeldFile()
{
    if (handle_ != nullptr)
        ::CloseHandle(handle_);
}

}  // namespace vantrel::testing
