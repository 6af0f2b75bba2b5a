#pragma once

#include <cstdint>

#include "core/common/SecureString.h"

// Error codes carried by CWinCryptoException, in the numbering that stored messages and other installations use.
namespace CryptoError {
inline constexpr std::uint32_t BadData = 0x80090005; // padding or length invalid: wrong password or damaged file
inline constexpr std::uint32_t Failure = 0x80090020; // the cipher library failed for another reason
inline constexpr std::uint32_t NotEnoughMemory = 0x00000008;
} // namespace CryptoError

// A failure of the cipher layer, with its error code.
class CWinCryptoException
{
public:
    explicit CWinCryptoException(std::uint32_t error)
        : error(error)
    {}
    virtual ~CWinCryptoException() = default;

    std::uint32_t Error() const { return error; }
    // The text shown to the user for this error.
    std::u16string ErrorText() const;

private:
    std::uint32_t error;
};

// One cipher layer of the database file: the algorithm and the key derived from the password.
class CWinCrypto
{
public:
    enum class Algorithm
    {
        TripleDes112, // two-key triple DES, CBC, zero IV, PKCS#5 padding
        Aes256,       // AES-256, CBC, zero IV, PKCS#7 padding
    };

    // Derives the key: MD5 of the password's UTF-16LE code units, expanded with the 0x36/0x5C pads to 32 bytes.
    CWinCrypto(Algorithm algorithm, const SecureString& password);
    virtual ~CWinCrypto();

    CWinCrypto(const CWinCrypto&) = delete;
    CWinCrypto& operator=(const CWinCrypto&) = delete;

    SecureBytes Encrypt(const unsigned char* data, std::size_t length) const;
    // Decrypts in place and removes the padding; throws with CryptoError::BadData when it is invalid.
    void Decrypt(SecureBytes& buffer) const;

    // The in-place forms, for callers that keep the whole file in one buffer. Encryption needs room for
    // EncryptedSize(length) bytes; both return the new length.
    std::size_t EncryptInPlace(unsigned char* buffer, std::size_t length) const;
    std::size_t DecryptInPlace(unsigned char* buffer, std::size_t length) const;
    std::size_t EncryptedSize(std::size_t length) const;
    std::size_t BlockSize() const;

    // Encrypts as EncryptInPlace does, but only from byte `from` (whole blocks) on: the first `from` bytes already
    // hold what a full encryption makes of them, so the chain continues from the block before `from`.
    std::size_t EncryptInPlaceFrom(unsigned char* buffer, std::size_t length, std::size_t from) const;
    // Runs the cipher over whole blocks without padding, chained from `previous`, the ciphertext block before them
    // (nullptr at the start of the text, where the chain starts from zeros). CBC decryption of a block needs only
    // its own ciphertext and the one before it, so a long text can be decrypted in independent pieces.
    void DecryptBlocks(unsigned char* blocks, std::size_t length, const unsigned char* previous) const;
    // The length of decrypted text without its padding; throws with CryptoError::BadData when the padding is invalid.
    std::size_t UnpaddedLength(const unsigned char* buffer, std::size_t length) const;

    // The 32 derived bytes; the triple DES key is the first 16 of them.
    static SecureBytes DeriveKeyMaterial(const SecureString& password);

private:
    void RunInPlace(unsigned char* buffer, std::size_t length, const unsigned char* previous, bool encrypt) const;

    Algorithm algorithm;
    SecureBytes key;
};
