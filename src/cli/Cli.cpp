#include "cli/Cli.h"

#include <unistd.h>

#include <algorithm>
#include <new>

#include "cli/CliCommand.h"
#include "cli/CliReporter.h"
#include "cli/Commands.h"
#include "cli/Help.h"
#include "core/common/Utf.h"
#include "core/settings/Options.h"
#include "core/settings/ProgramDataFolder.h"
#include "core/settings/Translate.h"
#include "platform/ProgramPath.h"
#include "platform/SettingsFolder.h"

namespace {
bool IsHelp(const std::string& argument)
{
    return argument == "--help" || argument == "-h";
}

bool IsQuiet(const std::string& argument)
{
    return argument == "--quiet" || argument == "-q";
}

const CliCommand* FindCommand(const std::string& name)
{
    const auto commands = CliCommands();
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [&name](const CliCommand& command) { return command.name == name; });
    return found == commands.end() ? nullptr : &*found;
}

int UsageFailure(COutput& errors, const std::string& problem, const CliCommand* command)
{
    std::string text = "lockmere-cli: " + problem + "\n";
    text += command != nullptr ? "Usage: " + CommandUsage(*command) + "\n" : GeneralUsage();
    text += "Try 'lockmere-cli --help'.\n";
    try {
        errors.Write(text);
    } catch (const CliFailure&) {
    }
    return ExitCode::Usage;
}

// The one place where a command's failures end up: shows what was not shown yet and turns it into the exit code.
int RunCommand(const CliCommand& command, CliContext& context, COutput& errors,
               const std::vector<std::string>& arguments)
{
    try {
        return command.run(context, arguments);
    } catch (const UsageError& error) {
        return UsageFailure(errors, error.what(), &command);
    } catch (const CliFailure& failure) {
        if (*failure.what() != '\0') {
            context.reporter.ShowMessage(Utf8ToUtf16(failure.what()), MessageIcon::Error);
        }
        return failure.ExitCodeOf();
    } catch (const std::bad_alloc&) {
        context.reporter.ShowMessage(u"Not enough memory.", MessageIcon::Error);
    } catch (const std::exception& error) {
        context.reporter.ShowMessage(Utf8ToUtf16(error.what()), MessageIcon::Error);
    }
    return ExitCode::Failed;
}

int Dispatch(std::vector<std::string> arguments)
{
    COutput output(STDOUT_FILENO);
    COutput errors(STDERR_FILENO);
    // -q may also stand before the command; the command takes it as its own.
    const bool quietFirst = !arguments.empty() && IsQuiet(arguments[0]);
    if (quietFirst) {
        arguments.erase(arguments.begin());
    }
    if (arguments.empty()) {
        return UsageFailure(errors, "no command given", nullptr);
    }
    if (IsHelp(arguments[0]) || arguments[0] == "help") {
        output.Write(FullHelp());
        return ExitCode::Done;
    }
    if (arguments[0] == "--version") {
        output.Write(VersionText());
        return ExitCode::Done;
    }
    const CliCommand* command = FindCommand(arguments[0]);
    if (command == nullptr) {
        return UsageFailure(errors, "unknown command '" + arguments[0] + "'", nullptr);
    }
    std::vector<std::string> commandArguments(arguments.begin() + 1, arguments.end());
    if (!commandArguments.empty() && IsHelp(commandArguments[0])) {
        output.Write(CommandHelp(*command));
        return ExitCode::Done;
    }
    if (quietFirst) {
        commandArguments.insert(commandArguments.begin(), "--quiet");
    }

    CCliReporter reporter(STDERR_FILENO);
    // The messages follow the language the user chose for the desktop program. The settings are only read here.
    COptions options;
    options.Load(reporter, SettingsFilePath());
    CTranslate texts(ProgramDataFolder(ProgramPath().parent_path()));
    texts.Load(options.Language);
    CPasswordReader passwords(STDIN_FILENO, STDERR_FILENO);
    CliContext context{reporter, texts, passwords, output, &options};
    return RunCommand(*command, context, errors, commandArguments);
}
} // namespace

int RunCli(const std::vector<std::string>& arguments)
{
    try {
        return Dispatch(arguments);
    } catch (const CliFailure&) {
        // Only the help could not be written, and there is nowhere to say so.
        return ExitCode::Failed;
    } catch (const std::exception& error) {
        // Reading the settings or the language file failed before any command could run.
        CCliReporter(STDERR_FILENO).ShowMessage(Utf8ToUtf16(error.what()), MessageIcon::Error);
        return ExitCode::Failed;
    }
}
