#pragma once

#include <filesystem>
#include <vector>

// The copies that file synchronizing tools leave beside a file when two machines changed it at once: for
// NAME.ldb, NAME.sync-conflict-*.ldb (Syncthing), NAME (*conflicted copy*).ldb (Dropbox, Nextcloud) and
// NAME (*Case Conflict*).ldb (Dropbox), the marker words in any letter case. Sorted by name; none when the folder
// cannot be read.
std::vector<std::filesystem::path> FindConflictCopies(const std::filesystem::path& database);

// Whether `candidate` is a name of such a copy of the file named `database` (names without folders).
bool IsConflictCopyName(const std::string& database, const std::string& candidate);
