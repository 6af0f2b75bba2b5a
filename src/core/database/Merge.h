#pragma once

#include <filesystem>

#include "core/common/SecureString.h"
#include "core/database/DataBase.h"

// Reads another database file under its own password and adds each of its entries, in file order, with
// AddRenaming: nothing already in the collection is changed. False when the file could not be read (reported);
// entries merged before an unexpected failure stay in the collection. `readResult`, when given, receives the
// reader's result, so that a caller can tell a wrong password from other failures.
bool MergeDatabase(CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                   int* readResult = nullptr);
