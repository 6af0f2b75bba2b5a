#pragma once

#include <string>
#include <vector>

#include "cli/CliContext.h"

// True when the import's arguments name another program's export with --from.
bool NamesOtherManager(const std::vector<std::string>& arguments);

// import DB FILE --from PRESET: reads the export, adds its entries with the renaming rule, saves once and writes
// the summary line.
int RunOtherManagerImport(CliContext& context, const std::vector<std::string>& arguments);
