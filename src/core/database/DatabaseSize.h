#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/common/TextSource.h"

// What every database file is: whole AES blocks, at least one (the padding). A file of another size cannot be one,
// whatever the password, so both programs say so before asking for a password instead of calling it a wrong one.

// Thrown by the reader for a file whose size cannot be a database's.
struct NotADatabase
{};

bool CanBeDatabaseSize(std::uint64_t size);

// "FILE is not a Lockmere database (its size is not a whole number of cipher blocks)."
std::u16string NotADatabaseMessage(const ITextSource& texts, const std::filesystem::path& path);

// The message when the file at the path is a regular file whose size cannot be a database's; nothing otherwise (a
// file that cannot be looked at is left to the reader, which tells why).
std::optional<std::u16string> NotADatabaseProblem(const ITextSource& texts, const std::filesystem::path& path);
