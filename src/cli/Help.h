#pragma once

#include <string>
#include <string_view>

#include "cli/CliCommand.h"

// The width the help is wrapped to.
inline constexpr std::size_t HelpWidth = 80;

// "lockmere-cli NAME SYNOPSIS".
std::string CommandUsage(const CliCommand& command);
// The list of commands, for a usage error without a command.
std::string GeneralUsage();
// Everything --help tells, wrapped at HelpWidth columns.
std::string FullHelp();
// What COMMAND --help tells: its usage and its description, wrapped.
std::string CommandHelp(const CliCommand& command);
// What --version tells.
std::string VersionText();

// The text broken into lines of at most `width` columns at spaces (a longer word stands alone), the first line after
// `indent` spaces and the others after `laterIndent`, each ended by a line feed.
std::string Wrapped(std::string_view text, std::size_t indent, std::size_t laterIndent, std::size_t width = HelpWidth);
