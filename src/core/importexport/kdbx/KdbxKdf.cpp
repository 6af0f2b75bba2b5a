#include "core/importexport/kdbx/KdbxKdf.h"

#include <algorithm>

#include "core/importexport/kdbx/KdbxCrypto.h"

namespace {
using Uuid = std::array<unsigned char, 16>;
constexpr Uuid AesKdbx3Uuid{0xC9, 0xD9, 0xF3, 0x9A, 0x62, 0x8A, 0x44, 0x60,
                            0xBF, 0x74, 0x0D, 0x08, 0xC1, 0x8A, 0x4F, 0xEA};
constexpr Uuid AesKdbx4Uuid{0x7C, 0x02, 0xBB, 0x82, 0x79, 0xA7, 0x4A, 0xC0,
                            0x92, 0x7D, 0x11, 0x4A, 0x00, 0x64, 0x82, 0x38};
constexpr Uuid Argon2dUuid{0xEF, 0x63, 0x6D, 0xDF, 0x8C, 0x29, 0x44, 0x4B,
                           0x91, 0xF7, 0xA9, 0xA4, 0x03, 0xE3, 0x0A, 0x0C};
constexpr Uuid Argon2idUuid{0x9E, 0x29, 0x8B, 0x19, 0x56, 0xDB, 0x47, 0x73,
                            0xB2, 0x3D, 0xFC, 0x3E, 0xC6, 0xF0, 0xA1, 0xE6};
constexpr std::uint32_t Argon2Version13 = 0x13;
constexpr std::uint64_t KiB = 1024;
constexpr char Broken[] = "the key derivation parameters are incomplete";

struct KindUuid
{
    KdbxKdf::Kind kind;
    const Uuid& uuid;
};
constexpr KindUuid KindUuids[] = {
    {KdbxKdf::Kind::AesKdbx3, AesKdbx3Uuid},
    {KdbxKdf::Kind::AesKdbx4, AesKdbx4Uuid},
    {KdbxKdf::Kind::Argon2d, Argon2dUuid},
    {KdbxKdf::Kind::Argon2id, Argon2idUuid},
};

template <class Value> Value Required(const std::optional<Value>& value)
{
    if (!value) {
        throw KdbxMalformed{Broken};
    }
    return *value;
}
} // namespace

const char KdbxLimitsText[] = "Argon2 memory at most 1 GiB, its memory times iterations at most 64 GiB (1,000 "
                              "iterations at 64 MiB), parallelism at most 256; AES-KDF at most 1,000,000,000 rounds";

void CheckKdfLimits(const KdbxKdf& kdf, const KdbxLimits& limits)
{
    if (!kdf.IsArgon2()) {
        if (kdf.rounds > limits.aesRounds) {
            throw KdbxTooCostly{};
        }
        return;
    }
    // Divided rather than multiplied, so that no product of crafted numbers can overflow.
    if (kdf.memoryBytes == 0 || kdf.memoryBytes > limits.argon2MemoryBytes ||
        kdf.parallelism > limits.argon2Parallelism || kdf.rounds > limits.argon2Work / kdf.memoryBytes) {
        throw KdbxTooCostly{};
    }
}

KdbxKdf KdfFromParameters(std::span<const unsigned char> bytes)
{
    const CKdbxVariantMap map = CKdbxVariantMap::Parse(bytes);
    const SecureBytes uuid = Required(map.BytesOf("$UUID"));
    const auto known = std::find_if(std::begin(KindUuids), std::end(KindUuids), [&](const KindUuid& candidate) {
        return std::equal(uuid.begin(), uuid.end(), candidate.uuid.begin(), candidate.uuid.end());
    });
    if (known == std::end(KindUuids)) {
        throw KdbxUnknownKdf{};
    }
    KdbxKdf kdf;
    kdf.kind = known->kind;
    kdf.seed = Required(map.BytesOf("S"));
    if (!kdf.IsArgon2()) {
        kdf.rounds = Required(map.UInt64Of("R"));
        if (kdf.seed.size() != 32) {
            throw KdbxMalformed{Broken};
        }
        return kdf;
    }
    kdf.rounds = Required(map.UInt64Of("I"));
    kdf.memoryBytes = Required(map.UInt64Of("M"));
    kdf.parallelism = Required(map.UInt32Of("P"));
    kdf.version = Required(map.UInt32Of("V"));
    kdf.secret = map.BytesOf("K").value_or(SecureBytes{});
    kdf.associated = map.BytesOf("A").value_or(SecureBytes{});
    // Botan computes version 1.3 only; the older 1.0 is KeePass's and KeePassXC's default for nothing.
    if (kdf.version != Argon2Version13 || kdf.parallelism == 0 || kdf.rounds == 0 ||
        kdf.memoryBytes < 8 * KiB * kdf.parallelism) {
        throw KdbxUnknownKdf{};
    }
    return kdf;
}

SecureBytes KdfParameters(const KdbxKdf& kdf)
{
    CKdbxVariantMap map;
    for (const KindUuid& candidate : KindUuids) {
        if (candidate.kind == kdf.kind) {
            map.SetBytes("$UUID", candidate.uuid);
        }
    }
    map.SetBytes("S", kdf.seed);
    if (!kdf.IsArgon2()) {
        map.SetUInt64("R", kdf.rounds);
        return map.Serialise();
    }
    map.SetUInt64("I", kdf.rounds);
    map.SetUInt64("M", kdf.memoryBytes);
    map.SetUInt32("P", kdf.parallelism);
    map.SetUInt32("V", kdf.version);
    return map.Serialise();
}

void DeriveKey(const KdbxKdf& kdf, std::span<const unsigned char> compositeKey, std::span<unsigned char, 32> out)
{
    if (!kdf.IsArgon2()) {
        AesKdf(kdf.seed, kdf.rounds, compositeKey, out);
        return;
    }
    Argon2Parameters parameters;
    parameters.variant = kdf.kind == KdbxKdf::Kind::Argon2d ? Argon2Variant::Argon2d : Argon2Variant::Argon2id;
    parameters.memoryKiB = kdf.memoryBytes / KiB;
    parameters.iterations = kdf.rounds;
    parameters.parallelism = kdf.parallelism;
    Argon2(parameters, compositeKey, kdf.seed, kdf.secret, kdf.associated, out);
}
