#pragma once

#include <sys/types.h>

#include <filesystem>

#include "core/common/AtomicFile.h"

// Copies `from` to `to` without ever replacing a file at `to`: the copy is written and synced, then takes the name
// only if no file has it by then. Keeps the source's permission bits. Gives false on any failure, also when `to`
// exists; no part of the copy ever remains under any name.
bool CopyFileExclusively(const std::filesystem::path& from, const std::filesystem::path& to);

// How the portable installation writes: a new file of the given mode, never one in place of an existing file.
FileReplacement OnlyNewFile(mode_t mode);
