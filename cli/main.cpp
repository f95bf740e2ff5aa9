// vantrel-cli: the pilot reports and score entries without the windows.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "core/platform/Process.h"

int main(int argc, char** argv)
{
    // The same bytes on every system: UTF-8 with LF line ends.
    vantrel::process::useBinaryUtf8Output();
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    const std::vector<std::string> args = vantrel::process::arguments(argc, argv);
    const int status = vantrel::cli::run(args);
    if (std::fflush(stdout) != 0)
        return 1;
    return status;
}
