// vantrel-cli: the pilot reports and score entries without the windows.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommands.h"

int main(int argc, char** argv)
{
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = vantrel::cli::run(args);
    if (std::fflush(stdout) != 0)
        return 1;
    return status;
}
