#include "core/database/ParallelDecrypt.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

namespace {
// Below this a piece decrypts faster than a thread starts.
constexpr std::size_t SmallestPieceBytes = std::size_t{256} << 10;

// Runs part(0) ... part(count - 1) at once: part 0 on the calling thread, each other one on a thread of its own, or
// on the calling thread when no thread can be started. Rethrows the first failure, in part order, once all have
// ended.
void RunParts(std::size_t count, const std::function<void(std::size_t)>& part)
{
    std::vector<std::exception_ptr> failures(count);
    const auto run = [&](std::size_t index) {
        try {
            part(index);
        } catch (...) {
            failures[index] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(count);
    for (std::size_t index = 1; index < count; ++index) {
        try {
            threads.emplace_back(run, index);
        } catch (const std::system_error&) {
            run(index);
        }
    }
    run(0);
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
}
} // namespace

std::size_t DecryptionPartsFor(std::size_t length)
{
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp<std::size_t>(length / SmallestPieceBytes, 1, cores);
}

std::size_t DecryptInParallel(const CWinCrypto& cipher, unsigned char* buffer, std::size_t length, std::size_t parts)
{
    const std::size_t block = cipher.BlockSize();
    // A length that is not whole blocks is how a wrong password or a damaged file shows, as is a bad padding.
    if (length == 0 || length % block != 0) {
        throw CWinCryptoException(CryptoError::BadData);
    }
    const std::size_t blocks = length / block;
    const std::size_t wanted = std::clamp<std::size_t>(parts, 1, blocks);
    const std::size_t blocksPerPart = (blocks + wanted - 1) / wanted;
    const std::size_t count = (blocks + blocksPerPart - 1) / blocksPerPart;
    const std::size_t partBytes = blocksPerPart * block;
    // Each piece chains from the last ciphertext block of the piece before it, which that piece overwrites as it
    // decrypts: those blocks are kept aside first.
    std::vector<unsigned char> previous(count * block);
    for (std::size_t index = 1; index < count; ++index) {
        std::memcpy(previous.data() + index * block, buffer + index * partBytes - block, block);
    }
    RunParts(count, [&](std::size_t index) {
        const std::size_t start = index * partBytes;
        cipher.DecryptBlocks(buffer + start, std::min(partBytes, length - start),
                             index == 0 ? nullptr : previous.data() + index * block);
    });
    return cipher.UnpaddedLength(buffer, length);
}
