// What the program asks of the operating system about itself: its
// arguments, its standard output, its threads and the local time.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "core/platform/FileOperands.h"

namespace vantrel::process {

// The command-line arguments after the program's name, as UTF-8 text. On
// Windows they are read as UTF-16 (GetCommandLineW), whatever the code page,
// so that "Jäger.plt" arrives as typed.
std::vector<std::string> arguments(int argc, char** argv);

// The file operands among those arguments as the program is to take them:
// on Windows, where cmd leaves that to the program, wildcards expanded and a
// stray closing quote after a folder's backslash dropped
// (operands::expandAsWindowsDoes); on POSIX, whose shells did it already,
// as given, a '*' in a file's name included.
operands::Expansion fileOperands(const std::vector<std::string>& operands);

// Makes standard output take bytes as they are: on Windows no CR put before
// each LF, and a console shows UTF-8 (SetConsoleOutputCP). Nothing on POSIX.
void useBinaryUtf8Output();

// Lowers the calling thread's priority below the window's thread.
void lowerThreadPriority();

// The broken-down local time of `when`.
std::tm localTime(std::time_t when);

// The short date of `when` as the user's locale writes it (the
// environment's LC_TIME on POSIX, the user's default locale on Windows).
std::string localShortDate(std::time_t when);

}  // namespace vantrel::process
