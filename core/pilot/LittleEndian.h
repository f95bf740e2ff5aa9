// The pilot file's numbers: 32-bit signed integers, little-endian, at any
// byte position (records are not aligned).
#pragma once

#include <cstdint>

namespace vantrel::le {

inline std::int32_t int32At(const void* at)
{
    const auto* p = static_cast<const unsigned char*>(at);
    const std::uint32_t v = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                            (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(v);
}

inline void putInt32(void* at, std::int32_t value)
{
    auto* p = static_cast<unsigned char*>(at);
    const auto v = static_cast<std::uint32_t>(value);
    for (int k = 0; k < 4; ++k)
        p[k] = static_cast<unsigned char>((v >> (8 * k)) & 0xFF);
}

}  // namespace vantrel::le
