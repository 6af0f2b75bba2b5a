#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "core/common/SecureString.h"

// The primitives of the KeePass file format, all from Botan, on wiped buffers. Botan is used for the format rather
// than OpenSSL, which the rest of the core uses, because it holds every algorithm the format needs (Argon2, Salsa20,
// ChaCha20, Twofish) in one library instead of three sources and a cipher of our own.

using Sha256Digest = std::array<unsigned char, 32>;
using Sha512Digest = std::array<unsigned char, 64>;

Sha256Digest Sha256(std::initializer_list<std::span<const unsigned char>> parts);
Sha512Digest Sha512(std::initializer_list<std::span<const unsigned char>> parts);
Sha256Digest HmacSha256(std::span<const unsigned char> key,
                        std::initializer_list<std::span<const unsigned char>> parts);

// Compares without leaking through its time where the first difference is.
bool SameDigest(std::span<const unsigned char> left, std::span<const unsigned char> right);

enum class KdbxCipher
{
    Aes256,
    ChaCha20,
    Twofish,
};

// Decrypts the payload in place; the result may be shorter by the padding. Throws KdbxPaddingError when the CBC
// padding is not what the key should have given, which for these files means the key was wrong.
struct KdbxPaddingError
{};
void DecryptPayload(KdbxCipher cipher, std::span<const unsigned char> key, std::span<const unsigned char> iv,
                    SecureBytes& data);
void EncryptPayload(KdbxCipher cipher, std::span<const unsigned char> key, std::span<const unsigned char> iv,
                    SecureBytes& data);
// The length of the initialisation vector the cipher takes.
std::size_t IvLength(KdbxCipher cipher);

// The key stream that hides protected values inside the XML: every protected value, in document order, is XORed
// with the next bytes of it.
class CInnerStream
{
public:
    enum class Kind : std::uint32_t
    {
        None = 0,
        Salsa20 = 2,
        ChaCha20 = 3,
    };
    CInnerStream(Kind kind, std::span<const unsigned char> key);
    ~CInnerStream();
    CInnerStream(const CInnerStream&) = delete;
    CInnerStream& operator=(const CInnerStream&) = delete;

    void Apply(unsigned char* data, std::size_t size);

private:
    struct Cipher;
    std::unique_ptr<Cipher> cipher;
};

// Argon2 (version 0x13) of the key into 32 bytes.
enum class Argon2Variant : std::uint8_t
{
    Argon2d = 0,
    Argon2id = 2,
};
struct Argon2Parameters
{
    Argon2Variant variant = Argon2Variant::Argon2id;
    std::uint64_t memoryKiB = 0;
    std::uint64_t iterations = 0;
    std::uint32_t parallelism = 0;
};
void Argon2(const Argon2Parameters& parameters, std::span<const unsigned char> key, std::span<const unsigned char> salt,
            std::span<const unsigned char> secret, std::span<const unsigned char> associated,
            std::span<unsigned char, 32> out);

// KeePass's AES key transformation: the 32 bytes encrypted `rounds` times with AES-256 under the seed, then hashed.
void AesKdf(std::span<const unsigned char> seed, std::uint64_t rounds, std::span<const unsigned char> key,
            std::span<unsigned char, 32> out);
