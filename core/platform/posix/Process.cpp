#include "core/platform/Process.h"

#include <clocale>
#include <locale.h>

#include <sys/resource.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/syscall.h>
#endif

namespace vantrel::process {

std::vector<std::string> arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

operands::Expansion fileOperands(const std::vector<std::string>& operands)
{
    return {operands, {}};
}

void useBinaryUtf8Output() {}

void lowerThreadPriority()
{
#if defined(__linux__)
    // On Linux a thread's nice value is its own; only this thread changes.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 10);
#endif
    // Elsewhere (the browser) a priority would be the whole process's: left as it is.
}

std::tm localTime(std::time_t when)
{
    std::tm local{};
    ::localtime_r(&when, &local);
    return local;
}

std::string localShortDate(std::time_t when)
{
    const std::tm local = localTime(when);
    // The environment's LC_TIME (LC_ALL, LC_TIME, LANG), whatever the
    // process-wide locale is; "%x" is the locale's short date.
    locale_t timeLocale = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (timeLocale == static_cast<locale_t>(0))
        timeLocale = ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    char buffer[128];
    const std::size_t length = ::strftime_l(buffer, sizeof buffer, "%x", &local, timeLocale);
    ::freelocale(timeLocale);
    return std::string(buffer, length);
}

}  // namespace vantrel::process
