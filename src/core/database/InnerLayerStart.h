#pragma once

#include <cstddef>
#include <filesystem>

#include "core/common/FileVersion.h"
#include "core/database/WinCrypto.h"

// Reads the first `length` bytes (whole AES blocks) of the database file at `path` into `into` and removes their
// AES layer, which leaves the start of the triple-DES ciphertext the file was written with. False when the file is
// no longer `version` or not longer than `length`, with `into` untouched; false when reading fails midway, with
// `into` partly overwritten.
bool ReadInnerLayerStart(const std::filesystem::path& path, const FileVersion& version, const CWinCrypto& aes,
                         unsigned char* into, std::size_t length);
