// What the program asks of the operating system about itself: its
// arguments, its standard output, its threads and the local time.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace vantrel::process {

// The command-line arguments after the program's name, as UTF-8 text. On
// Windows they are read as UTF-16 (GetCommandLineW), whatever the code page,
// so that "Jäger.plt" arrives as typed.
std::vector<std::string> arguments(int argc, char** argv);

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
