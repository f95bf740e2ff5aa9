// Feeds arbitrary bytes to the reader of Steam's library list
// (libraryfolders.vdf), a file the side bar reads from wherever Steam keeps
// it: it must end on any input, read nothing past it, and give only paths
// made of its bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/platform/LibraryFoldersVdf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    for (const std::string& path : vantrel::gamefolders::libraryPathsFromVdf(text))
        total += path.size();
    if (total > size)
        std::abort();  // more bytes of paths than the text holds
    return 0;
}
