#include "core/database/LayeredDecryption.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {
constexpr std::size_t AesBlock = 16;
constexpr std::size_t TripleDesBlock = 8;
// Small enough to stay in a core's cache from the outer layer to the inner one.
constexpr std::size_t CachedPieceBytes = std::size_t{256} << 10;
// Below this a file decrypts faster than a thread starts.
constexpr std::size_t SmallestThreadedBytes = std::size_t{512} << 10;

struct LayerLengths
{
    std::size_t inner = 0;
    std::size_t text = 0;
};

// The lengths of the inner layer and of the text, from the paddings at the end: the last two AES blocks hold the
// inner layer's last block and the one it is chained from. Decrypted in a copy, as the pieces decrypt them again.
LayerLengths CheckPaddings(const CWinCrypto& aes, const CWinCrypto& tripleDes, const unsigned char* file,
                           std::size_t length)
{
    if (length == 0 || length % AesBlock != 0) {
        throw CWinCryptoException(CryptoError::BadData);
    }
    const std::size_t tailStart = length - std::min(length, 2 * AesBlock);
    const std::size_t tailLength = length - tailStart;
    std::array<unsigned char, 2 * AesBlock> tail{};
    std::memcpy(tail.data(), file + tailStart, tailLength);
    struct Wipe
    {
        std::array<unsigned char, 2 * AesBlock>& bytes;
        ~Wipe() { OPENSSL_cleanse(bytes.data(), bytes.size()); }
    } wipe{tail};
    aes.DecryptBlocks(tail.data(), tailLength, tailStart > 0 ? file + tailStart - AesBlock : nullptr);
    LayerLengths lengths;
    lengths.inner = tailStart + aes.UnpaddedLength(tail.data(), tailLength);
    if (lengths.inner == 0 || lengths.inner % TripleDesBlock != 0) {
        throw CWinCryptoException(CryptoError::BadData);
    }
    unsigned char* last = tail.data() + (lengths.inner - TripleDesBlock - tailStart);
    tripleDes.DecryptBlocks(last, TripleDesBlock, lengths.inner > TripleDesBlock ? last - TripleDesBlock : nullptr);
    lengths.text = lengths.inner - TripleDesBlock + tripleDes.UnpaddedLength(last, TripleDesBlock);
    return lengths;
}

// What a piece is chained from: the last AES ciphertext block before it, and that block decrypted, whose second half
// is the last triple-DES ciphertext block before it. The piece before overwrites both, so they are taken first.
struct PieceChain
{
    std::array<unsigned char, AesBlock> outer{};
    std::array<unsigned char, AesBlock> inner{};
};

std::vector<PieceChain> ChainsOf(const CWinCrypto& aes, const unsigned char* file, std::size_t count,
                                 std::size_t pieceBytes)
{
    std::vector<PieceChain> chains(count);
    for (std::size_t index = 1; index < count; ++index) {
        const std::size_t start = index * pieceBytes;
        std::memcpy(chains[index].outer.data(), file + start - AesBlock, AesBlock);
        chains[index].inner = chains[index].outer;
        aes.DecryptBlocks(chains[index].inner.data(), AesBlock,
                          start > AesBlock ? file + start - 2 * AesBlock : nullptr);
    }
    return chains;
}

// Runs the pieces on threads of their own, taken in the order of the text, and tells the calling thread how many
// pieces from the start are done. A failure stops the other threads after their current piece.
class PieceQueue
{
public:
    PieceQueue(std::size_t count, std::function<void(std::size_t)> run)
        : count(count)
        , run(std::move(run))
        , done(count, false)
    {}

    ~PieceQueue()
    {
        stop = true;
        for (std::thread& thread : threads) {
            thread.join();
        }
    }

    PieceQueue(const PieceQueue&) = delete;
    PieceQueue& operator=(const PieceQueue&) = delete;

    // Starts up to `wanted` threads; false when none could start.
    bool Start(std::size_t wanted)
    {
        for (std::size_t index = 0; index < wanted; ++index) {
            try {
                threads.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                break;
            }
        }
        return !threads.empty();
    }

    // Waits until more than `known` pieces from the start are done and returns how many are; rethrows the failure of
    // a piece.
    std::size_t WaitForMore(std::size_t known)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return finished > known || failure; });
        if (failure) {
            std::rethrow_exception(failure);
        }
        return finished;
    }

private:
    void Work()
    {
        while (!stop) {
            const std::size_t index = next.fetch_add(1);
            if (index >= count) {
                return;
            }
            try {
                run(index);
            } catch (...) {
                const std::lock_guard lock(mutex);
                failure = std::current_exception();
                stop = true;
                changed.notify_all();
                return;
            }
            const std::lock_guard lock(mutex);
            done[index] = true;
            while (finished < count && done[finished]) {
                ++finished;
            }
            changed.notify_all();
        }
    }

    const std::size_t count;
    const std::function<void(std::size_t)> run;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<bool> done;
    std::size_t finished = 0;
    std::exception_ptr failure;
    std::vector<std::thread> threads;
};
} // namespace

DecryptionPieces DecryptionPieces::For(std::size_t length)
{
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return {CachedPieceBytes, length < SmallestThreadedBytes ? 1 : cores};
}

std::size_t DecryptLayers(const CWinCrypto& aes, const CWinCrypto& tripleDes, unsigned char* file, std::size_t length,
                          const DecryptionPieces& pieces, const std::function<void(std::size_t)>& ready)
{
    const LayerLengths lengths = CheckPaddings(aes, tripleDes, file, length);
    const std::size_t pieceBytes = std::max(AesBlock, pieces.pieceBytes / AesBlock * AesBlock);
    const std::size_t count = (length + pieceBytes - 1) / pieceBytes;
    const std::vector<PieceChain> chains = ChainsOf(aes, file, count, pieceBytes);
    const auto decrypt = [&](std::size_t index) {
        const std::size_t start = index * pieceBytes;
        const std::size_t end = std::min(start + pieceBytes, length);
        aes.DecryptBlocks(file + start, end - start, index > 0 ? chains[index].outer.data() : nullptr);
        const std::size_t innerEnd = std::min(end, lengths.inner);
        if (start < innerEnd) {
            tripleDes.DecryptBlocks(file + start, innerEnd - start,
                                    index > 0 ? chains[index].inner.data() + TripleDesBlock : nullptr);
        }
    };
    const auto report = [&](std::size_t piecesDone) {
        if (ready) {
            ready(std::min(piecesDone * pieceBytes, lengths.text));
        }
    };
    PieceQueue queue(count, decrypt);
    if (pieces.threads <= 1 || count == 1 || !queue.Start(std::min(pieces.threads, count))) {
        for (std::size_t index = 0; index < count; ++index) {
            decrypt(index);
            report(index + 1);
        }
        return lengths.text;
    }
    for (std::size_t piecesDone = 0; piecesDone < count;) {
        piecesDone = queue.WaitForMore(piecesDone);
        report(piecesDone);
    }
    return lengths.text;
}
