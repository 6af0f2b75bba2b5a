#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/common/SecureString.h"

// A database file made by hand, as no save of ours would: both cipher layers over whatever bytes the test gives,
// which may be records out of key order, duplicates, a damaged rest, a NUL or an odd number of bytes.
std::string EncryptedDatabaseBytes(std::string_view plaintext, const SecureString& password);

// The plaintext bytes of a text of UTF-16 code units, as a database file stores them.
std::string TextBytes(std::u16string_view text);

void WriteHandMadeFile(const std::filesystem::path& path, std::u16string_view text, const SecureString& password);
