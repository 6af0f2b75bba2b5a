#include "cli/Cli.h"

#include <iostream>

int RunCli(const std::vector<std::string>& arguments)
{
    if (arguments.empty()) {
        std::cerr << "usage: lockmere-cli COMMAND ...\n";
        return 2;
    }
    return 2;
}
