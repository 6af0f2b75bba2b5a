#pragma once

#include <cstddef>

#include "core/database/WinCrypto.h"

// How many pieces a text of `length` bytes is decrypted in: one per core, but none so small that starting a thread
// for it costs more than it saves.
std::size_t DecryptionPartsFor(std::size_t length);

// Decrypts in place and removes the padding exactly as CWinCrypto::DecryptInPlace does, with the same result and the
// same failures, but in `parts` pieces decrypted at once, each on its own thread. Returns the new length.
std::size_t DecryptInParallel(const CWinCrypto& cipher, unsigned char* buffer, std::size_t length, std::size_t parts);
