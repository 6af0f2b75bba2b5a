#pragma once

#include <string>

#include "cli/CliCommand.h"

// "lockmere-cli NAME SYNOPSIS".
std::string CommandUsage(const CliCommand& command);
// The list of commands, for a usage error without a command.
std::string GeneralUsage();
// Everything --help tells.
std::string FullHelp();
