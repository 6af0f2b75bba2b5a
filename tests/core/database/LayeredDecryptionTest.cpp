#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <variant>

#include "core/database/LayeredDecryption.h"
#include "core/database/WinCrypto.h"

namespace {
// What a decryption gave: the text, or the error it failed with.
using Outcome = std::variant<SecureBytes, std::uint32_t>;

template <class Decrypt> Outcome OutcomeOf(SecureBytes buffer, Decrypt decrypt)
{
    try {
        buffer.resize(decrypt(buffer.data(), buffer.size()));
        return buffer;
    } catch (const CWinCryptoException& error) {
        return error.Error();
    }
}

SecureBytes Flipped(SecureBytes bytes, std::size_t fromEnd)
{
    bytes[bytes.size() - fromEnd] ^= 0x5A;
    return bytes;
}

// Texts on both sides of block and piece edges, whole and damaged files (each layer's padding broken, a file cut
// short by a byte or a block), pieces of one block to more than the file, on one to three threads: the pieces give
// exactly what decrypting each layer whole gives, failures included, and each length reported along the way is text
// that is already final.
TEST(LayeredDecryptionTest, PiecesGiveWhatDecryptingEachLayerWholeGives)
{
    std::mt19937 random(7);
    const SecureString password = ToSecure(u"pieces");
    const CWinCrypto aes(CWinCrypto::Algorithm::Aes256, password);
    const CWinCrypto tripleDes(CWinCrypto::Algorithm::TripleDes112, password);
    for (const std::size_t length : {0, 1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 1000, 4099}) {
        SecureBytes plaintext(length);
        for (auto& byte : plaintext) {
            byte = static_cast<unsigned char>(random());
        }
        const SecureBytes inner = tripleDes.Encrypt(plaintext.data(), plaintext.size());
        const SecureBytes file = aes.Encrypt(inner.data(), inner.size());
        const SecureBytes innerDamaged = Flipped(inner, 1);
        const SecureBytes files[] = {file, Flipped(file, 1), aes.Encrypt(innerDamaged.data(), innerDamaged.size()),
                                     SecureBytes(file.begin(), file.end() - 1),
                                     SecureBytes(file.begin(), file.end() - 16)};
        for (const SecureBytes& input : files) {
            const Outcome whole = OutcomeOf(input, [&](unsigned char* data, std::size_t size) {
                return tripleDes.DecryptInPlace(data, aes.DecryptInPlace(data, size));
            });
            for (const std::size_t pieceBytes : {16, 32, 48, 4096}) {
                for (const std::size_t threads : {1, 2, 3}) {
                    std::size_t reported = 0;
                    const Outcome pieces = OutcomeOf(input, [&](unsigned char* data, std::size_t size) {
                        return DecryptLayers(aes, tripleDes, data, size, {pieceBytes, threads}, [&](std::size_t ready) {
                            EXPECT_GE(ready, reported);
                            EXPECT_TRUE(std::equal(data, data + ready, plaintext.begin()));
                            reported = ready;
                        });
                    });
                    EXPECT_EQ(pieces, whole) << length << " bytes, pieces of " << pieceBytes << ", " << threads;
                    if (std::holds_alternative<SecureBytes>(pieces)) {
                        EXPECT_EQ(reported, std::get<SecureBytes>(pieces).size());
                    }
                }
            }
        }
        EXPECT_EQ(OutcomeOf(file,
                            [&](unsigned char* data, std::size_t size) {
                                return DecryptLayers(aes, tripleDes, data, size, DecryptionPieces::For(size));
                            }),
                  Outcome(plaintext));
    }
}

// A reader that fails stops the decryption: the failure reaches the caller and no thread is left behind.
TEST(LayeredDecryptionTest, AFailingReaderEndsTheDecryption)
{
    const SecureString password = ToSecure(u"pieces");
    const CWinCrypto aes(CWinCrypto::Algorithm::Aes256, password);
    const CWinCrypto tripleDes(CWinCrypto::Algorithm::TripleDes112, password);
    const SecureBytes plaintext(100000, 'x');
    const SecureBytes inner = tripleDes.Encrypt(plaintext.data(), plaintext.size());
    SecureBytes file = aes.Encrypt(inner.data(), inner.size());
    int calls = 0;
    EXPECT_THROW(DecryptLayers(aes, tripleDes, file.data(), file.size(), {64, 2},
                               [&](std::size_t) {
                                   ++calls;
                                   throw std::runtime_error("reader failed");
                               }),
                 std::runtime_error);
    EXPECT_EQ(calls, 1);
}
} // namespace
