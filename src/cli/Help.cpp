#include "cli/Help.h"

#include "cli/Commands.h"

namespace {
constexpr std::string_view Details = R"(
Passwords are never taken from the command line. At a terminal they are typed without echo after a prompt; when
standard input is not a terminal, each is read as one line of it, in the order they are asked for (a line may end in
CR LF). A password must be valid UTF-8 without NUL characters.

Arguments and output are UTF-8. In the output of ls and show, a backslash is written as \\, a tab as \t, a line break
as \n, a carriage return as \r and any other control character as \xHH, so that every line is one entry or one
field. Values on the command line are taken as they are (a line break in --notes is a line break). After "--" every
argument is positional, so a group or title may start with a dash.

Every change is written to the database file at once. A file that another Lockmere holds open is not written, nor is
one that another program replaced while the command ran.

Messages go to standard error, in the language chosen in the settings of the desktop program.
Exit codes: 0 done, 1 failed, 2 usage error, 3 invalid password.
)";
} // namespace

std::string CommandUsage(const CliCommand& command)
{
    return "lockmere-cli " + std::string(command.name) + " " + std::string(command.synopsis);
}

std::string GeneralUsage()
{
    std::string text = "Usage: lockmere-cli COMMAND ARGUMENTS...   (lockmere-cli COMMAND --help for one command)\n"
                       "Commands:";
    for (const CliCommand& command : CliCommands()) {
        text += " " + std::string(command.name);
    }
    return text + "\n";
}

std::string FullHelp()
{
    std::string text = "lockmere-cli: work with a Lockmere password database from the command line.\n\n"
                       "Usage: lockmere-cli COMMAND ARGUMENTS...\n\nCommands:\n";
    for (const CliCommand& command : CliCommands()) {
        text += "  " + CommandUsage(command) + "\n      " + std::string(command.description) + "\n";
    }
    return text + std::string(Details);
}
