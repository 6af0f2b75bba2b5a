#pragma once

#include <cstdint>
#include <span>

#include "core/common/SecureString.h"
#include "core/importexport/kdbx/KdbxCrypto.h"
#include "core/importexport/kdbx/KdbxKdf.h"

// The unencrypted start of a KDBX file: format version, cipher, compression, seeds and key derivation.
struct KdbxHeader
{
    std::uint16_t major = 4;
    std::uint16_t minor = 0;
    KdbxCipher cipher = KdbxCipher::Aes256;
    bool gzip = true;
    SecureBytes masterSeed;
    SecureBytes iv;
    KdbxKdf kdf;
    // KDBX 3.1 keeps these in the outer header; KDBX 4 has the stream in its inner header.
    SecureBytes protectedStreamKey;
    SecureBytes streamStartBytes;
    std::uint32_t innerStream = 0;
    // The bytes from the signature through the end field, which the checksums cover.
    std::size_t length = 0;
};

// The file is not one we read: no KDBX signature, KeePass 1, a version, cipher or key derivation we do not know.
struct KdbxUnsupported
{
    std::string reason;
};

// The key the payload is encrypted with and the base of the KDBX 4 block authentication keys, wiped when dropped.
struct KdbxPayloadKeys
{
    Sha256Digest cipherKey{};
    Sha512Digest hmacBase{};
    KdbxPayloadKeys() = default;
    KdbxPayloadKeys(const KdbxPayloadKeys&) = delete;
    KdbxPayloadKeys& operator=(const KdbxPayloadKeys&) = delete;
    ~KdbxPayloadKeys();
};

// Runs the key derivation (the long step) on the composite key and the header's seeds.
void DerivePayloadKeys(const KdbxHeader& header, std::span<const unsigned char> compositeKey, KdbxPayloadKeys& keys);

// True when the bytes start with the signature of a KeePass 2 file (any version).
bool HasKdbxSignature(std::span<const unsigned char> start);

// Throws KdbxUnsupported, KdbxMalformed, or KdbxTooCostly for work past the limits, all before any key work.
KdbxHeader ParseKdbxHeader(std::span<const unsigned char> file, const KdbxLimits& limits);

// A KDBX 4 header with its end field (no checksums).
SecureBytes SerialiseKdbx4Header(const KdbxHeader& header);
