#pragma once

#include <string>

#include "cli/Arguments.h"
#include "cli/CliContext.h"
#include "core/database/Entry.h"

// Confirms a change in one short line on standard error, unless the command was given --quiet.
void ConfirmDone(CliContext& context, const CArguments& arguments, const std::string& text);

// A group and title as the user writes them on the command line: GROUP/TITLE, control characters escaped.
std::string KeyText(const EntryKey& key);
