#pragma once

#include <cstdint>
#include <span>

#include "core/common/SecureString.h"
#include "core/importexport/kdbx/KdbxCrypto.h"

// The block streams that carry a KDBX file's payload and prove it whole: KDBX 4 authenticates each block of the
// ciphertext with HMAC-SHA-256, KDBX 3.1 hashes each block of the plaintext with SHA-256.

inline constexpr std::uint64_t HeaderHmacIndex = ~std::uint64_t{0};

// The key that authenticates block `index` (the header is block 2^64 - 1).
Sha512Digest BlockHmacKey(std::span<const unsigned char, 64> baseKey, std::uint64_t index);

// The ciphertext from the blocks starting at `bytes`. Throws KdbxMalformed naming the block that fails its check or
// is cut short.
SecureBytes ReadHmacBlocks(std::span<const unsigned char> bytes, std::span<const unsigned char, 64> baseKey);
// Appends the ciphertext as blocks of at most 1 MiB and the empty end block.
void WriteHmacBlocks(std::span<const unsigned char> data, std::span<const unsigned char, 64> baseKey, SecureBytes& out);

// The plaintext from KDBX 3.1's hashed blocks. Throws KdbxMalformed naming the block.
SecureBytes ReadHashedBlocks(std::span<const unsigned char> bytes);
