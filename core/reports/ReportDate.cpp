#include "core/reports/ReportDate.h"

#include <ctime>

#include "core/platform/Process.h"

namespace vantrel {

std::string localShortDate()
{
    return process::localShortDate(std::time(nullptr));
}

}  // namespace vantrel
