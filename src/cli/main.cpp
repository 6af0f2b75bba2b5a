#include "cli/Cli.h"
#include "platform/ProcessHardening.h"

int main(int argc, char* argv[])
{
    HardenProcess();
    return RunCli(std::vector<std::string>(argv + 1, argv + argc));
}
