// Writes vantrel-cli's manual page: the page's text with the SYNOPSIS lines
// built from the commands' declarations in place of the marker line.
//   vantrel_cli_man_page TEMPLATE OUTPUT
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/CommandList.h"
#include "cli/Usage.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: vantrel_cli_man_page TEMPLATE OUTPUT\n";
        return 2;
    }
    const std::string marker = ".\\\" The synopsis of every command goes here.";
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream page;
    std::string line;
    bool replaced = false;
    while (std::getline(in, line)) {
        if (line == marker) {
            page << vantrel::cli::manSynopsis(vantrel::cli::commandList());
            replaced = true;
        } else {
            page << line << '\n';
        }
    }
    if (!in.eof() || !replaced) {
        std::cerr << argv[1] << ": cannot read it, or it has no synopsis marker\n";
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << page.str();
    out.close();
    if (!out) {
        std::cerr << argv[2] << ": cannot write it\n";
        return 1;
    }
    return 0;
}
