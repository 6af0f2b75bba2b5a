#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/common/SecureString.h"
#include "core/importexport/kdbx/KdbxVariantMap.h"

// How a KDBX file turns the composite key into the key that opens it, and the bounds within which we do that work.

struct KdbxKdf
{
    enum class Kind
    {
        AesKdbx3, // AES-KDF as KDBX 3.1 names it
        AesKdbx4, // the same transformation under its KDBX 4 identifier
        Argon2d,
        Argon2id,
    };
    Kind kind = Kind::Argon2id;
    SecureBytes seed;         // AES-KDF: the key seed; Argon2: the salt
    std::uint64_t rounds = 0; // AES-KDF rounds or Argon2 iterations
    std::uint64_t memoryBytes = 0;
    std::uint32_t parallelism = 0;
    std::uint32_t version = 0x13;
    SecureBytes secret;
    SecureBytes associated;

    bool IsArgon2() const { return kind == Kind::Argon2d || kind == Kind::Argon2id; }
};

// The most work a file may ask for. A crafted header must not make the program allocate gigabytes or run for days
// before the password is even checked; the defaults are far above what KeePassXC chooses for a new database (64 MiB
// and a one-second benchmark).
struct KdbxLimits
{
    std::uint64_t aesRounds = 1'000'000'000;
    std::uint64_t argon2MemoryBytes = std::uint64_t{1} << 30;
    // Memory times iterations: 1,000 iterations at KeePassXC's 64 MiB.
    std::uint64_t argon2Work = std::uint64_t{64} << 30;
    std::uint32_t argon2Parallelism = 256;
};

// The limits as the help and the messages state them.
extern const char KdbxLimitsText[];

// Refused before any work: throws KdbxTooCostly.
struct KdbxTooCostly
{};
void CheckKdfLimits(const KdbxKdf& kdf, const KdbxLimits& limits);

// The KDBX 4 parameters dictionary. Throws KdbxMalformed, or KdbxUnknownKdf for a derivation we do not know.
struct KdbxUnknownKdf
{};
KdbxKdf KdfFromParameters(std::span<const unsigned char> bytes);
SecureBytes KdfParameters(const KdbxKdf& kdf);

// The transformed key.
void DeriveKey(const KdbxKdf& kdf, std::span<const unsigned char> compositeKey, std::span<unsigned char, 32> out);
