#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliContext.h"

// Exit codes of lockmere-cli.
namespace ExitCode {
inline constexpr int Done = 0;
inline constexpr int Failed = 1;
inline constexpr int Usage = 2;
inline constexpr int InvalidPassword = 3;
} // namespace ExitCode

// The command line does not fit the command: exit code 2 with the command's usage.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The command cannot go on: the message is shown (an empty one means that it has been shown already) and the exit code
// is 1, or the one given.
class CliFailure : public std::runtime_error
{
public:
    explicit CliFailure(const std::string& message, int exitCode = ExitCode::Failed)
        : std::runtime_error(message)
        , exitCode(exitCode)
    {}
    int ExitCodeOf() const { return exitCode; }

private:
    int exitCode;
};

// One command of lockmere-cli: its name, how it is called, what it does, and the function that runs it with the
// arguments after its name. The function returns an exit code and may throw UsageError or CliFailure.
struct CliCommand
{
    std::string_view name;
    std::string_view synopsis;
    std::string_view description;
    int (*run)(CliContext& context, const std::vector<std::string>& arguments);
};
