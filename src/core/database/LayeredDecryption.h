#pragma once

#include <cstddef>
#include <functional>

#include "core/database/WinCrypto.h"

// How a file's layers are taken off: in pieces of `pieceBytes` (whole blocks of both ciphers) on `threads` threads.
struct DecryptionPieces
{
    std::size_t pieceBytes = 0;
    std::size_t threads = 1;

    // Pieces that stay in the cache while both layers are taken off, one thread per core, and no thread for a file
    // that decrypts faster than a thread starts.
    static DecryptionPieces For(std::size_t length);
};

// Takes both layers off a database file in place, AES outside and triple DES inside, and returns the length of the
// text: the same text, the same padding checks and the same failures as decrypting each layer whole, one after the
// other. Both paddings are checked first, from the last blocks, so that a wrong password fails at once. Then each
// piece goes through both layers, each chained from the ciphertext before it. `ready`, when given, is called on the
// calling thread with the length of the text decrypted from the start each time it grows, so that the caller can
// read it while later pieces are still being decrypted; what it throws ends the decryption and is passed on. Throws
// CWinCryptoException, with BadData for a wrong password or a damaged file.
std::size_t DecryptLayers(const CWinCrypto& aes, const CWinCrypto& tripleDes, unsigned char* file, std::size_t length,
                          const DecryptionPieces& pieces, const std::function<void(std::size_t)>& ready = {});
