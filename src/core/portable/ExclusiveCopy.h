#pragma once

#include <filesystem>

// Copies `from` to `to` without ever replacing a file at `to`: the copy is written and synced beside the target,
// then moved into place only if no file of that name exists by then. Keeps the source's permission bits where the file
// system can hold them (FAT cannot). Gives false on any failure, also when `to` exists; a partial copy never remains.
bool CopyFileExclusively(const std::filesystem::path& from, const std::filesystem::path& to);

// Moves the finished file `from` to `to` in one step, refusing when `to` exists; on a file system that can neither
// rename without replacing nor link (FAT through FUSE), a rename right after finding the name free. Gives false on
// failure; `from` then stays where it was.
bool MoveIntoPlaceExclusively(const std::filesystem::path& from, const std::filesystem::path& to);
