// Replacing a whole file so that readers see either the old or the new bytes,
// never a torn mix: write a temporary file beside it, flush it, rename it over.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// Returns false (leaving any existing file untouched) when the file cannot be
// written: a missing directory, a read-only file, a full disk. A file whose
// permission bits allow no writing counts as read-only even for root.
bool replaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace vantrel
