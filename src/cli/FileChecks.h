#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/common/SecureString.h"

// Checks of the files a command names, made before any password is asked for, so that a mistyped path costs no
// typing. Each failure throws CliFailure with the file's name and the system's reason, as "a.ldb: Permission denied".

// The message for a file and an errno value.
std::string FileProblem(const std::filesystem::path& path, int error);

// An existing regular file that this user may read.
void RequireReadableFile(const std::filesystem::path& path);

// An existing regular file that may be replaced: readable, marked writable for this user, in a folder where the new
// version can be written beside it. A file whose write permissions are all cleared counts as read-only also for
// the superuser, whom the system would let through.
void RequireChangeableFile(const std::filesystem::path& path);

// A file name that survives the way to the path a database is saved to, which is kept as text: the same check for
// a new database and for one to be changed.
void RequireUtf8Name(const std::filesystem::path& path);

// A database that no other Lockmere holds open: its save would be refused after the password was typed.
void RequireNotHeld(const std::filesystem::path& path);

// A database a command may change: changeable, with a name the save can use, not held by another Lockmere. Every
// changing command checks this before the password, also one that first reads a file to import.
void RequireChangeableDatabase(const std::filesystem::path& path);

// A path where a new file may be written: the folder exists and is writable, and nothing but a file is there.
void RequireWritableTarget(const std::filesystem::path& path);

// Why a database file could not be replaced, as far as can be told afterwards: held by another program, or no
// longer writable. Nullopt when no reason is found.
std::optional<std::string> ReplaceProblem(const std::filesystem::path& path);

// The whole content of a regular file, read into wiped memory. Files of `limit` bytes or more are refused.
SecureBytes ReadInputFile(const std::filesystem::path& path, std::uintmax_t limit);
