#include <gtest/gtest.h>

#include <random>
#include <variant>

#include "core/database/ParallelDecrypt.h"
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

// Sizes on both sides of block and piece edges, pieces from one to more than there are blocks, whole and damaged
// ciphertexts (a damaged last block breaks the padding, a truncated text the block length): the pieces give exactly
// what the single pass gives, failures included.
TEST(ParallelDecryptTest, PiecesGiveWhatTheSinglePassGives)
{
    std::mt19937 random(7);
    const SecureString password = ToSecure(u"pieces");
    for (const auto algorithm : {CWinCrypto::Algorithm::TripleDes112, CWinCrypto::Algorithm::Aes256}) {
        const CWinCrypto cipher(algorithm, password);
        for (const std::size_t length : {0, 1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 1000, 4099}) {
            SecureBytes plaintext(length);
            for (auto& byte : plaintext) {
                byte = static_cast<unsigned char>(random());
            }
            const SecureBytes whole = cipher.Encrypt(plaintext.data(), plaintext.size());
            SecureBytes lastBlockDamaged = whole;
            lastBlockDamaged[whole.size() - 1] = static_cast<unsigned char>(whole[whole.size() - 1] ^ 0x5A);
            const SecureBytes truncated(whole.begin(), whole.end() - 1);
            for (const SecureBytes& input : {whole, lastBlockDamaged, truncated}) {
                const Outcome single = OutcomeOf(
                    input, [&](unsigned char* data, std::size_t size) { return cipher.DecryptInPlace(data, size); });
                for (const std::size_t parts : {1, 2, 3, 5, 64}) {
                    const Outcome pieces = OutcomeOf(input, [&](unsigned char* data, std::size_t size) {
                        return DecryptInParallel(cipher, data, size, parts);
                    });
                    EXPECT_EQ(pieces, single) << "length " << length << ", " << parts << " parts";
                }
            }
            if (length > 0) {
                EXPECT_EQ(OutcomeOf(whole, [&](unsigned char* data,
                                               std::size_t size) { return DecryptInParallel(cipher, data, size, 3); }),
                          Outcome(plaintext));
            }
        }
    }
}
} // namespace
