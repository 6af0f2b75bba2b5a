#include "core/database/WinCrypto.h"

#include <openssl/err.h>
#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <memory>
#include <new>

namespace {
constexpr std::size_t Md5Size = 16;
constexpr std::size_t PadBlockSize = 64;
constexpr unsigned char InnerPad = 0x36;
constexpr unsigned char OuterPad = 0x5C;

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

[[noreturn]] void ThrowCryptoFailure()
{
    const unsigned long error = ERR_get_error();
    ERR_clear_error();
    if (ERR_GET_REASON(error) == ERR_R_MALLOC_FAILURE) {
        throw CWinCryptoException(CryptoError::NotEnoughMemory);
    }
    throw CWinCryptoException(CryptoError::Failure);
}

void Md5(const unsigned char* data, std::size_t length, unsigned char* digest)
{
    DigestContext context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    unsigned int size = 0;
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1 ||
        EVP_DigestUpdate(context.get(), data, length) != 1 || EVP_DigestFinal_ex(context.get(), digest, &size) != 1) {
        ThrowCryptoFailure();
    }
}

const EVP_CIPHER* CipherOf(CWinCrypto::Algorithm algorithm)
{
    // EDE with the 16-byte key uses K1, K2, K1: two-key triple DES.
    return algorithm == CWinCrypto::Algorithm::TripleDes112 ? EVP_des_ede_cbc() : EVP_aes_256_cbc();
}

std::size_t KeyLengthOf(CWinCrypto::Algorithm algorithm)
{
    return algorithm == CWinCrypto::Algorithm::TripleDes112 ? 16 : 32;
}

CipherContext NewContext(const EVP_CIPHER* cipher, const unsigned char* key, const unsigned char* iv, bool encrypt)
{
    // All-zero IV at the start: the format stores none, so every file of the same entries and password is identical.
    const std::array<unsigned char, 16> zeroIv{};
    CipherContext context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!context || EVP_CipherInit_ex(context.get(), cipher, nullptr, key, iv != nullptr ? iv : zeroIv.data(),
                                      encrypt ? 1 : 0) != 1) {
        ThrowCryptoFailure();
    }
    return context;
}
} // namespace

std::u16string CWinCryptoException::ErrorText() const
{
    switch (error) {
    case CryptoError::BadData:
        return u"Bad Data.";
    case CryptoError::NotEnoughMemory:
        return u"Not enough memory resources are available to process this command.";
    default:
        return u"The cryptographic library failed to process the data.";
    }
}

CWinCrypto::CWinCrypto(Algorithm algorithm, const SecureString& password)
    : algorithm(algorithm)
    , key(DeriveKeyMaterial(password))
{
    key.resize(KeyLengthOf(algorithm));
}

CWinCrypto::~CWinCrypto() = default;

SecureBytes CWinCrypto::DeriveKeyMaterial(const SecureString& password)
{
    // The password is hashed as its UTF-16 little-endian code units, whatever the machine's byte order.
    SecureBytes passwordBytes;
    passwordBytes.reserve(password.size() * 2);
    for (const char16_t unit : password) {
        passwordBytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        passwordBytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    SecureBytes hash(Md5Size);
    Md5(passwordBytes.data(), passwordBytes.size(), hash.data());

    SecureBytes inner(PadBlockSize, InnerPad);
    SecureBytes outer(PadBlockSize, OuterPad);
    for (std::size_t i = 0; i < Md5Size; ++i) {
        inner[i] ^= hash[i];
        outer[i] ^= hash[i];
    }
    SecureBytes material(2 * Md5Size);
    Md5(inner.data(), inner.size(), material.data());
    Md5(outer.data(), outer.size(), material.data() + Md5Size);
    return material;
}

std::size_t CWinCrypto::EncryptedSize(std::size_t length) const
{
    const std::size_t block = BlockSize();
    return block * (length / block + 1);
}

std::size_t CWinCrypto::BlockSize() const
{
    return algorithm == Algorithm::TripleDes112 ? 8 : 16;
}

std::size_t CWinCrypto::EncryptInPlace(unsigned char* buffer, std::size_t length) const
{
    // Padding is added here rather than by the library so that the whole buffer can be run through in place, in
    // pieces that fit the library's int lengths.
    const std::size_t total = EncryptedSize(length);
    const auto padding = static_cast<unsigned char>(total - length);
    std::fill(buffer + length, buffer + total, padding);
    RunInPlace(buffer, total, nullptr, true);
    return total;
}

std::size_t CWinCrypto::EncryptInPlaceFrom(unsigned char* buffer, std::size_t length, std::size_t from) const
{
    const std::size_t total = EncryptedSize(length);
    if (from == 0) {
        return EncryptInPlace(buffer, length);
    }
    if (from % BlockSize() != 0 || from >= total) {
        throw CWinCryptoException(CryptoError::Failure);
    }
    const auto padding = static_cast<unsigned char>(total - length);
    std::fill(buffer + length, buffer + total, padding);
    RunInPlace(buffer + from, total - from, buffer + from - BlockSize(), true);
    return total;
}

void CWinCrypto::DecryptBlocks(unsigned char* blocks, std::size_t length, const unsigned char* previous) const
{
    if (length % BlockSize() != 0) {
        throw CWinCryptoException(CryptoError::BadData);
    }
    if (length > 0) {
        RunInPlace(blocks, length, previous, false);
    }
}

std::size_t CWinCrypto::DecryptInPlace(unsigned char* buffer, std::size_t length) const
{
    const std::size_t block = BlockSize();
    // A length that is not whole blocks, or a bad padding, is how a wrong password or a damaged file shows.
    if (length == 0 || length % block != 0) {
        throw CWinCryptoException(CryptoError::BadData);
    }
    RunInPlace(buffer, length, nullptr, false);
    return UnpaddedLength(buffer, length);
}

std::size_t CWinCrypto::UnpaddedLength(const unsigned char* buffer, std::size_t length) const
{
    const std::size_t block = BlockSize();
    if (length == 0 || length % block != 0) {
        throw CWinCryptoException(CryptoError::BadData);
    }
    const std::size_t padding = buffer[length - 1];
    if (padding == 0 || padding > block) {
        throw CWinCryptoException(CryptoError::BadData);
    }
    for (std::size_t i = length - padding; i < length; ++i) {
        if (buffer[i] != padding) {
            throw CWinCryptoException(CryptoError::BadData);
        }
    }
    return length - padding;
}

void CWinCrypto::RunInPlace(unsigned char* buffer, std::size_t length, const unsigned char* previous,
                            bool encrypt) const
{
    constexpr std::size_t Piece = std::size_t{1} << 30; // a multiple of both block sizes
    CipherContext context = NewContext(CipherOf(algorithm), key.data(), previous, encrypt);
    EVP_CIPHER_CTX_set_padding(context.get(), 0);
    for (std::size_t offset = 0; offset < length; offset += Piece) {
        const int pieceLength = static_cast<int>(std::min(Piece, length - offset));
        int written = 0;
        if (EVP_CipherUpdate(context.get(), buffer + offset, &written, buffer + offset, pieceLength) != 1 ||
            written != pieceLength) {
            ThrowCryptoFailure();
        }
    }
}

SecureBytes CWinCrypto::Encrypt(const unsigned char* data, std::size_t length) const
{
    SecureBytes output(EncryptedSize(length));
    std::copy(data, data + length, output.begin());
    output.resize(EncryptInPlace(output.data(), length));
    return output;
}

void CWinCrypto::Decrypt(SecureBytes& buffer) const
{
    buffer.resize(DecryptInPlace(buffer.data(), buffer.size()));
}
