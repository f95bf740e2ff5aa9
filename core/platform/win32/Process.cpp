#include "core/platform/Process.h"

#include "core/files/win32/Win32Files.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace vantrel::process {

std::vector<std::string> arguments(int, char**)
{
    std::vector<std::string> result;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return result;
    for (int i = 1; i < count; ++i)
        result.push_back(win32::utf8(wide[i]));
    ::LocalFree(wide);
    return result;
}

operands::Expansion fileOperands(const std::vector<std::string>& operands)
{
    return operands::expandAsWindowsDoes(operands);
}

void useBinaryUtf8Output()
{
    ::SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void lowerThreadPriority()
{
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

std::tm localTime(std::time_t when)
{
    std::tm local{};
    ::localtime_s(&local, &when);
    return local;
}

std::string localShortDate(std::time_t when)
{
    const std::tm local = localTime(when);
    SYSTEMTIME date{};
    date.wYear = static_cast<WORD>(local.tm_year + 1900);
    date.wMonth = static_cast<WORD>(local.tm_mon + 1);
    date.wDay = static_cast<WORD>(local.tm_mday);
    date.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    wchar_t buffer[128] = {};
    const int length = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, buffer, 128);
    return length > 0 ? win32::utf8(std::wstring_view(buffer, static_cast<std::size_t>(length - 1))) : std::string();
}

}  // namespace vantrel::process
