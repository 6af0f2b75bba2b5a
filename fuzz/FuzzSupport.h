#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "core/common/SecureString.h"

// The fuzzer's input as UTF-16 code units, two bytes each in little-endian order; an odd last byte is dropped.
SecureString TextFromBytes(const std::uint8_t* data, std::size_t size);

// Stops the run with the input saved as a crash when a property of the reader does not hold.
void FuzzCheck(bool condition, const char* what);

// A folder of its own for the files a target reads, in memory where the system offers it, removed at exit.
const std::filesystem::path& ScratchFolder();

// Replaces the file's content by the bytes (not atomically: only the fuzzer reads it).
void WriteScratchFile(const std::filesystem::path& path, std::string_view bytes);

// The password every database target reads its files under.
const SecureString& FuzzPassword();

class CDataBase;

// What any collection a reader filled must satisfy: no field holds the terminator, and writing the collection's
// plaintext and parsing it again gives the same entries.
void CheckCollectionRoundTrips(const CDataBase& database);
