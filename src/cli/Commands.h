#pragma once

#include <span>

#include "cli/CliCommand.h"

// Every command of lockmere-cli, in the order --help lists them. A new command is a file of its own that defines
// its CliCommand, declared here and added to the list in Commands.cpp.
std::span<const CliCommand> CliCommands();

extern const CliCommand CreateCommand;
extern const CliCommand LsCommand;
extern const CliCommand ShowCommand;
extern const CliCommand SearchCommand;
extern const CliCommand InfoCommand;
extern const CliCommand AnalyzeCommand;
extern const CliCommand AddCommand;
extern const CliCommand EditCommand;
extern const CliCommand RmCommand;
extern const CliCommand PasswdCommand;
extern const CliCommand ClipCommand;
extern const CliCommand GenCommand;
extern const CliCommand ExportCommand;
extern const CliCommand ImportCommand;
extern const CliCommand MergeCommand;
extern const CliCommand SyncCommand;
