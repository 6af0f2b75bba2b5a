#include "cli/Help.h"

#include <algorithm>

#include "cli/Commands.h"

namespace {
constexpr std::string_view Summary = "Work with a Lockmere password database from the command line.";

// Option lines start with the option, so that man page generators recognise them.
constexpr std::string_view Options = R"(Options:
  -h, --help            show this help, or one command's help after its name
      --version         show the version
  -q, --quiet           no confirmation line on standard error after a change
  -s, --show-password   show: write the password instead of PROTECTED
  -l, --length N        gen, add --generate, edit --generate: password length
  -o, --output FILE     export: write to FILE instead of standard output
)";

constexpr std::string_view Paragraphs[] = {
    "Passwords are never taken from the command line. At a terminal they are typed without echo after a prompt that "
    "says what it asks for, and a mismatched repetition of a new password is asked again (three tries). When "
    "standard input is not a terminal, each password is read as one line of it, in the order they are asked for (a "
    "line may end in CR LF), and a mismatch ends the command. A password must be valid UTF-8 without NUL characters.",
    "Arguments and output are UTF-8. In the output of ls, search and show, a backslash is written as \\\\, a tab as "
    "\\t, a line break as \\n, a carriage return as \\r and any other control character as \\xHH, so that every line "
    "is one entry or one field. Values on the command line are taken as they are (a line break in --notes is a line "
    "break). After \"--\" every argument is positional, so a group or title may start with a dash. A group and "
    "title that match no entry but one in another case get a \"did you mean\" hint.",
    "Every change is written to the database file at once. A file that another Lockmere holds open is not written, "
    "nor is one that another program replaced while the command ran, nor one without write permission. Files are "
    "checked before any password is asked for.",
    "Messages go to standard error after \"lockmere-cli:\", in the language chosen in the settings of the desktop "
    "program; a change is confirmed there in one line unless --quiet is given.",
};

constexpr std::string_view ExitCodes = "Exit codes: 0 done, 1 failed, 2 usage error, 3 invalid password.";

// Stands for a space at which a synopsis must not be broken.
constexpr char Glue = '\x1F';

// Keeps an option and its value together ("[--notes N]" is never split between lines).
std::string GluedSynopsis(std::string_view synopsis)
{
    std::string glued(synopsis);
    for (std::size_t space = glued.find(' '); space != std::string::npos; space = glued.find(' ', space + 1)) {
        const std::size_t before = glued.rfind(' ', space - 1);
        const std::string_view left =
            std::string_view(glued).substr(before == std::string::npos ? 0 : before + 1, space - (before + 1));
        const std::size_t after = glued.find(' ', space + 1);
        const std::string_view right = std::string_view(glued).substr(space + 1, after - (space + 1));
        if (left.starts_with('[') && left.find(']') == std::string_view::npos && right.ends_with(']') &&
            right.find('[') == std::string_view::npos) {
            glued[space] = Glue;
        }
    }
    return glued;
}

std::string WrappedSynopsis(const std::string& text, std::size_t indent, std::size_t laterIndent)
{
    std::string wrapped = Wrapped(GluedSynopsis(text), indent, laterIndent);
    std::replace(wrapped.begin(), wrapped.end(), Glue, ' ');
    return wrapped;
}
} // namespace

std::string Wrapped(std::string_view text, std::size_t indent, std::size_t laterIndent, std::size_t width)
{
    std::string result;
    std::string line(indent, ' ');
    bool lineEmpty = true;
    while (!text.empty()) {
        const std::size_t end = text.find(' ');
        const std::string_view word = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (word.empty()) {
            continue;
        }
        if (!lineEmpty && line.size() + 1 + word.size() > width) {
            result += line + "\n";
            line.assign(laterIndent, ' ');
            lineEmpty = true;
        }
        if (!lineEmpty) {
            line += ' ';
        }
        line += word;
        lineEmpty = false;
    }
    return lineEmpty ? result : result + line + "\n";
}

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
    std::string text = "Usage: lockmere-cli COMMAND ARGUMENTS...\n"
                       "  or:  lockmere-cli COMMAND --help\n"
                       "  or:  lockmere-cli --help | --version\n" +
                       std::string(Summary) + "\n\nCommands:\n";
    for (const CliCommand& command : CliCommands()) {
        text += WrappedSynopsis(std::string(command.name) + " " + std::string(command.synopsis), 2, 8);
        text += Wrapped(command.description, 6, 6);
    }
    text += "\n" + std::string(Options);
    for (std::string_view paragraph : Paragraphs) {
        text += "\n" + Wrapped(paragraph, 0, 0);
    }
    return text + "\n" + std::string(ExitCodes) + "\n";
}

std::string CommandHelp(const CliCommand& command)
{
    return WrappedSynopsis("Usage: " + CommandUsage(command), 0, 4) + "\n" + Wrapped(command.description, 0, 0);
}

std::string VersionText()
{
    return "lockmere-cli (Lockmere) " LOCKMERE_VERSION "\n";
}
