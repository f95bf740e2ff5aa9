#include "core/reports/ReportDate.h"

#include <clocale>
#include <ctime>
#include <locale.h>

namespace vantrel {

std::string localShortDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    // The environment's LC_TIME (LC_ALL, LC_TIME, LANG), whatever the
    // process-wide locale is; "%x" is the locale's short date.
    locale_t timeLocale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (timeLocale == static_cast<locale_t>(0))
        timeLocale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    char buffer[128];
    const std::size_t length = strftime_l(buffer, sizeof buffer, "%x", &local, timeLocale);
    freelocale(timeLocale);
    return std::string(buffer, length);
}

}  // namespace vantrel
