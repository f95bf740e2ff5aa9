#include "core/pilot/PilotRecord.h"

#include <cstring>

#include "core/text/Windows1252.h"

namespace vantrel {

std::string fieldText(const char* bytes, std::size_t width)
{
    const void* zero = std::memchr(bytes, 0, width);
    const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : width;
    return cp1252::toUtf8(std::string_view(bytes, length));
}

}  // namespace vantrel
