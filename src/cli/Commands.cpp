#include "cli/Commands.h"

#include <array>

std::span<const CliCommand> CliCommands()
{
    // The commands are constant-initialised in their own files, so they are complete before this runs.
    static const std::array commands = {
        CreateCommand, LsCommand,     ShowCommand,  SearchCommand, InfoCommand, AnalyzeCommand,
        AddCommand,    EditCommand,   RmCommand,    PasswdCommand, ClipCommand, GenCommand,
        ExportCommand, ImportCommand, MergeCommand, SyncCommand,
    };
    return commands;
}
