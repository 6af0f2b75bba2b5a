#include "core/importexport/kdbx/KdbxCrypto.h"

#include <botan/argon2.h>
#include <botan/block_cipher.h>
#include <botan/cipher_mode.h>
#include <botan/exceptn.h>
#include <botan/hash.h>
#include <botan/mac.h>
#include <botan/stream_cipher.h>

#include <stdexcept>

namespace {
constexpr std::size_t BlockSize = 16;

template <std::size_t Size>
std::array<unsigned char, Size> Digest(Botan::Buffered_Computation& function,
                                       std::initializer_list<std::span<const unsigned char>> parts)
{
    for (const auto part : parts) {
        function.update(part.data(), part.size());
    }
    std::array<unsigned char, Size> digest{};
    function.final(digest.data());
    return digest;
}

const char* CbcName(KdbxCipher cipher)
{
    return cipher == KdbxCipher::Twofish ? "Twofish/CBC/PKCS7" : "AES-256/CBC/PKCS7";
}

std::unique_ptr<Botan::StreamCipher> ChaCha20(std::span<const unsigned char> key, std::span<const unsigned char> iv)
{
    auto cipher = Botan::StreamCipher::create_or_throw("ChaCha(20)");
    cipher->set_key(key.data(), key.size());
    cipher->set_iv(iv.data(), iv.size());
    return cipher;
}

// CBC over the whole buffer: the aligned part in place, then the last block through Botan's own wiped buffer, which
// adds or checks the padding.
void CbcDecrypt(KdbxCipher cipher, std::span<const unsigned char> key, std::span<const unsigned char> iv,
                SecureBytes& data)
{
    if (data.empty() || data.size() % BlockSize != 0) {
        throw KdbxPaddingError{};
    }
    auto mode = Botan::Cipher_Mode::create_or_throw(CbcName(cipher), Botan::DECRYPTION);
    mode->set_key(key.data(), key.size());
    mode->start(iv.data(), iv.size());
    const std::size_t body = data.size() - BlockSize;
    mode->process(data.data(), body);
    Botan::secure_vector<std::uint8_t> last(data.begin() + static_cast<std::ptrdiff_t>(body), data.end());
    try {
        mode->finish(last);
    } catch (const Botan::Decoding_Error&) {
        throw KdbxPaddingError{};
    }
    data.resize(body);
    data.insert(data.end(), last.begin(), last.end());
}

void CbcEncrypt(KdbxCipher cipher, std::span<const unsigned char> key, std::span<const unsigned char> iv,
                SecureBytes& data)
{
    auto mode = Botan::Cipher_Mode::create_or_throw(CbcName(cipher), Botan::ENCRYPTION);
    mode->set_key(key.data(), key.size());
    mode->start(iv.data(), iv.size());
    const std::size_t body = data.size() - data.size() % BlockSize;
    mode->process(data.data(), body);
    Botan::secure_vector<std::uint8_t> last(data.begin() + static_cast<std::ptrdiff_t>(body), data.end());
    mode->finish(last);
    data.resize(body);
    data.insert(data.end(), last.begin(), last.end());
}
} // namespace

Sha256Digest Sha256(std::initializer_list<std::span<const unsigned char>> parts)
{
    return Digest<32>(*Botan::HashFunction::create_or_throw("SHA-256"), parts);
}

Sha512Digest Sha512(std::initializer_list<std::span<const unsigned char>> parts)
{
    return Digest<64>(*Botan::HashFunction::create_or_throw("SHA-512"), parts);
}

Sha256Digest HmacSha256(std::span<const unsigned char> key, std::initializer_list<std::span<const unsigned char>> parts)
{
    auto mac = Botan::MessageAuthenticationCode::create_or_throw("HMAC(SHA-256)");
    mac->set_key(key.data(), key.size());
    return Digest<32>(*mac, parts);
}

bool SameDigest(std::span<const unsigned char> left, std::span<const unsigned char> right)
{
    if (left.size() != right.size()) {
        return false;
    }
    unsigned char difference = 0;
    for (std::size_t i = 0; i < left.size(); ++i) {
        difference |= static_cast<unsigned char>(left[i] ^ right[i]);
    }
    return difference == 0;
}

std::size_t IvLength(KdbxCipher cipher)
{
    return cipher == KdbxCipher::ChaCha20 ? 12 : BlockSize;
}

void DecryptPayload(KdbxCipher cipher, std::span<const unsigned char> key, std::span<const unsigned char> iv,
                    SecureBytes& data)
{
    if (cipher == KdbxCipher::ChaCha20) {
        ChaCha20(key, iv)->cipher1(data.data(), data.size());
        return;
    }
    CbcDecrypt(cipher, key, iv, data);
}

void EncryptPayload(KdbxCipher cipher, std::span<const unsigned char> key, std::span<const unsigned char> iv,
                    SecureBytes& data)
{
    if (cipher == KdbxCipher::ChaCha20) {
        ChaCha20(key, iv)->cipher1(data.data(), data.size());
        return;
    }
    CbcEncrypt(cipher, key, iv, data);
}

struct CInnerStream::Cipher
{
    std::unique_ptr<Botan::StreamCipher> stream;
};

CInnerStream::CInnerStream(Kind kind, std::span<const unsigned char> key)
    : cipher(std::make_unique<Cipher>())
{
    if (kind == Kind::Salsa20) {
        static constexpr unsigned char Salsa20Iv[8] = {0xE8, 0x30, 0x09, 0x4B, 0x97, 0x20, 0x5D, 0x2A};
        const Sha256Digest salsaKey = Sha256({key});
        cipher->stream = Botan::StreamCipher::create_or_throw("Salsa20");
        cipher->stream->set_key(salsaKey.data(), salsaKey.size());
        cipher->stream->set_iv(Salsa20Iv, sizeof(Salsa20Iv));
    } else if (kind == Kind::ChaCha20) {
        Sha512Digest hash = Sha512({key});
        cipher->stream = ChaCha20(std::span(hash).first(32), std::span(hash).subspan(32, 12));
        OPENSSL_cleanse(hash.data(), hash.size());
    }
}

CInnerStream::~CInnerStream() = default;

void CInnerStream::Apply(unsigned char* data, std::size_t size)
{
    if (cipher->stream) {
        cipher->stream->cipher1(data, size);
    }
}

void Argon2(const Argon2Parameters& parameters, std::span<const unsigned char> key, std::span<const unsigned char> salt,
            std::span<const unsigned char> secret, std::span<const unsigned char> associated,
            std::span<unsigned char, 32> out)
{
    Botan::argon2(out.data(), out.size(), reinterpret_cast<const char*>(key.data()), key.size(), salt.data(),
                  salt.size(), secret.data(), secret.size(), associated.data(), associated.size(),
                  static_cast<std::uint8_t>(parameters.variant), parameters.parallelism,
                  static_cast<std::size_t>(parameters.memoryKiB), static_cast<std::size_t>(parameters.iterations));
}

void AesKdf(std::span<const unsigned char> seed, std::uint64_t rounds, std::span<const unsigned char> key,
            std::span<unsigned char, 32> out)
{
    auto aes = Botan::BlockCipher::create_or_throw("AES-256");
    aes->set_key(seed.data(), seed.size());
    Botan::secure_vector<std::uint8_t> blocks(key.begin(), key.end());
    for (std::uint64_t round = 0; round < rounds; ++round) {
        aes->encrypt_n(blocks.data(), blocks.data(), 2);
    }
    Sha256Digest hash = Sha256({blocks});
    std::copy(hash.begin(), hash.end(), out.begin());
    OPENSSL_cleanse(hash.data(), hash.size());
}
