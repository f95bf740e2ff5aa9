// What the Win32 file code shares: paths as the wide API takes them, and
// the system's error codes as errno values.
#pragma once

#include <string>
#include <string_view>

#include <windows.h>

namespace vantrel::win32 {

// UTF-16 text of UTF-8 text, and back.
std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);

// `path` as the wide file functions take it: backslashes, and made absolute
// with the \\?\ prefix when it is long, so that paths past MAX_PATH work.
std::wstring widePath(const std::string& path);

// The errno value nearest to a Win32 error code (and kInUseError for a file
// another program holds without sharing it).
int errnoOf(DWORD error);
// errno set from GetLastError(); returns the errno value.
int setErrnoFromLastError();

// The sharing every open grants other programs: the game keeps reading and
// writing its pilot files while we have them open, and a file we hold may
// still be renamed over.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace vantrel::win32
