#pragma once

#include <string>
#include <vector>

#include "cli/CliContext.h"

// True when the import's arguments name a KeePass file: --from kdbx, a --key-file, or a FILE that starts with the
// KDBX signature while --from is absent or auto.
bool NamesKdbxImport(const std::vector<std::string>& arguments);

// import DB FILE.kdbx [--key-file F]: checks the file's header, asks for its password, adds its entries with the
// renaming rule, saves once and writes the summary line with what was left out.
int RunKdbxImport(CliContext& context, const std::vector<std::string>& arguments);
