#include "gui/app/ProgramInformation.h"

#include <algorithm>

namespace {
constexpr char HelpText[] = R"(Usage: lockmere [-hide] [FILE]
  or:  lockmere --help | --version
Keep logins in one encrypted password database and work with it in a window.

  FILE       open the database FILE (asks for its master password) instead of
             the last one; when Lockmere runs already, its window opens FILE
  -hide      start with the window hidden behind the notification-area icon;
             only when it is the whole command line
  --help     show this help and exit
  --version  show the version and exit

Only one copy runs for a user: starting another brings the running window to
the front and hands it FILE. The command-line companion is lockmere-cli(1).
)";
} // namespace

std::optional<std::string> HelpOrVersionText(const std::vector<std::string>& arguments)
{
    const auto switchesEnd = std::find(arguments.begin(), arguments.end(), "--");
    const auto asks = [&](const char* option) {
        return std::find(arguments.begin(), switchesEnd, option) != switchesEnd;
    };
    if (asks("--help")) {
        return HelpText;
    }
    if (asks("--version")) {
        return "lockmere (Lockmere) " LOCKMERE_VERSION "\n";
    }
    return std::nullopt;
}
