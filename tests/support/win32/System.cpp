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

// `path` made absolute, with the \\?\ prefix that lifts the MAX_PATH limit.
std::wstring longName(std::wstring path)
{
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    if (path.starts_with(L"\\\\?\\"))
        return path;
    const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring full(length, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length)
        return path;
    full.resize(written);
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring longName(const std::filesystem::path& path)
{
    return longName(path.wstring());
}

// The names in a folder, without "." and "..".
std::vector<WIN32_FIND_DATAW> folderEntries(const std::wstring& longFolder)
{
    std::vector<WIN32_FIND_DATAW> entries;
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = longFolder + (longFolder.ends_with(L'\\') ? L"*" : L"\\*");
    const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        const std::wstring_view name(found.cFileName);
        if (name != L"." && name != L"..")
            entries.push_back(found);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return entries;
}

void removeLongTree(const std::wstring& longPath)
{
    const DWORD attributes = ::GetFileAttributesW(longPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    ::SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::DeleteFileW(longPath.c_str());
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        for (const WIN32_FIND_DATAW& entry : folderEntries(longPath))
            removeLongTree(longPath + L"\\" + entry.cFileName);
    }
    ::RemoveDirectoryW(longPath.c_str());
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
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
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
                ::CompareStringOrdinal(text.c_str(), static_cast<int>(name.size()), name.c_str(),
                                       static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
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
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = errors;
    PROCESS_INFORMATION started{};
    const BOOL ok = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                     CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(), nullptr,
                                     &startup, &started);
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
    ::SetFileAttributesW(name.c_str(),
                         readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY));
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
    for (const WIN32_FIND_DATAW& entry : folderEntries(longName(folder)))
        names.insert(fileio::toUtf8(std::filesystem::path(entry.cFileName)));
    return names;
}

bool createFolders(const std::string& path)
{
    const std::wstring name = longName(wide(path));
    if (::CreateDirectoryW(name.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = ::GetFileAttributesW(name.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    if (::GetLastError() != ERROR_PATH_NOT_FOUND)
        return false;
    const std::string parent = text::folderOf(path);
    if (parent == path || parent.empty() || parent == "." || !createFolders(parent))
        return false;
    return ::CreateDirectoryW(name.c_str(), nullptr) != 0;
}

void removeTree(const std::filesystem::path& path)
{
    removeLongTree(longName(path));
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

ScopedUserRegistryValue::ScopedUserRegistryValue(const std::string& key, const std::string& name,
                                                 const std::string& value)
      : key_(key), name_(name)
{
    HKEY handle = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                          &handle, &disposition) != ERROR_SUCCESS)
        return;
    madeKey_ = disposition == REG_CREATED_NEW_KEY;
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(handle, wide(name).c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        type == REG_SZ) {
        std::wstring old(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(old.size() * sizeof(wchar_t));
        if (::RegQueryValueExW(handle, wide(name).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(old.data()),
                               &bytes) == ERROR_SUCCESS)
            old_ = std::wstring(old.c_str());
    }
    const std::wstring text = wide(value);
    set_ = ::RegSetValueExW(handle, wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    ::RegCloseKey(handle);
}

ScopedUserRegistryValue::~ScopedUserRegistryValue()
{
    if (madeKey_) {
        ::RegDeleteKeyW(HKEY_CURRENT_USER, wide(key_).c_str());
        return;
    }
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, wide(key_).c_str(), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS)
        return;
    if (old_)
        ::RegSetValueExW(handle, wide(name_).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(old_->c_str()),
                         static_cast<DWORD>((old_->size() + 1) * sizeof(wchar_t)));
    else
        ::RegDeleteValueW(handle, wide(name_).c_str());
    ::RegCloseKey(handle);
}

namespace {

constexpr const wchar_t* kChildTask = L"VANTREL_CHILD_TASK";
constexpr const wchar_t* kChildEvents = L"VANTREL_CHILD_EVENTS";

std::wstring environmentValue(const wchar_t* name)
{
    const DWORD length = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0)
        return {};
    std::wstring value(length, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), length));
    return value;
}

std::wstring thisProgram()
{
    std::wstring name(32768, L'\0');
    name.resize(::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
    return name;
}

}  // namespace

ChildTest::ChildTest(const std::string& test, const std::string& task)
{
    static int children = 0;
    const std::wstring events =
        L"vantrel-child-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++children);
    paused_ = ::CreateEventW(nullptr, TRUE, FALSE, (events + L"-paused").c_str());
    resume_ = ::CreateEventW(nullptr, TRUE, FALSE, (events + L"-resume").c_str());
    std::wstring commandLine = quoted(thisProgram()) + L" " + quoted(L"--gtest_filter=" + wide(test));
    std::wstring environment = environmentWith({{kChildTask, wide(task)}, {kChildEvents, events}});
    // Its test's report goes nowhere: the parent tells what happened.
    const HANDLE nothing = inheritedFile("NUL", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = nothing;
    startup.hStdError = nothing;
    PROCESS_INFORMATION started{};
    if (paused_ != nullptr && resume_ != nullptr &&
        ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                         CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(), nullptr, &startup,
                         &started)) {
        ::CloseHandle(started.hThread);
        process_ = started.hProcess;
    }
    ::CloseHandle(nothing);
}

ChildTest::~ChildTest()
{
    if (process_ != nullptr)
        kill();
    for (void* event : {paused_, resume_})
        if (event != nullptr)
            ::CloseHandle(event);
}

bool ChildTest::waitForPause(int seconds)
{
    if (process_ == nullptr)
        return false;
    const HANDLE either[2] = {paused_, process_};
    return ::WaitForMultipleObjects(2, either, FALSE, static_cast<DWORD>(seconds) * 1000) == WAIT_OBJECT_0;
}

void ChildTest::kill()
{
    if (process_ == nullptr)
        return;
    ::TerminateProcess(process_, 137);
    ::WaitForSingleObject(process_, INFINITE);
    ::CloseHandle(process_);
    process_ = nullptr;
}

int ChildTest::resumeAndWait(int seconds)
{
    if (process_ == nullptr)
        return -1;
    ::SetEvent(resume_);
    if (::WaitForSingleObject(process_, static_cast<DWORD>(seconds) * 1000) != WAIT_OBJECT_0) {
        kill();
        return -1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_, &code);
    ::CloseHandle(process_);
    process_ = nullptr;
    return static_cast<int>(code);
}

std::optional<std::string> ChildTest::task()
{
    if (environmentValue(kChildEvents).empty())
        return std::nullopt;
    return fileio::toUtf8(std::filesystem::path(environmentValue(kChildTask)));
}

void ChildTest::pauseHere()
{
    const std::wstring events = environmentValue(kChildEvents);
    const HANDLE paused = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, (events + L"-paused").c_str());
    const HANDLE resume = ::OpenEventW(SYNCHRONIZE, FALSE, (events + L"-resume").c_str());
    if (paused == nullptr || resume == nullptr)
        ::ExitProcess(3);
    ::SetEvent(paused);
    ::WaitForSingleObject(resume, INFINITE);
    ::CloseHandle(paused);
    ::CloseHandle(resume);
}

bool keepingFileTimes(const std::string& path, const std::function<void()>& change)
{
    // Opened for its attributes only, sharing everything, and closed while
    // `change` runs.
    const auto open = [&] {
        return ::CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    FILETIME accessed{}, modified{};
    HANDLE file = open();
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool read = ::GetFileTime(file, nullptr, &accessed, &modified) != 0;
    ::CloseHandle(file);
    if (!read)
        return false;
    change();
    file = open();
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool set = ::SetFileTime(file, nullptr, &accessed, &modified) != 0;
    ::CloseHandle(file);
    return set;
}

}  // namespace vantrel::testing
