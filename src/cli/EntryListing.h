#pragma once

#include <filesystem>
#include <functional>

#include "cli/CliContext.h"
#include "core/database/Entry.h"

// Reads the database and writes the listing line of every entry that `listed` accepts, in key order: the output of
// ls and search.
void WriteEntryListing(CliContext& context, const std::filesystem::path& database,
                       const std::function<bool(const EntryKey&, const EntryFields&)>& listed);
