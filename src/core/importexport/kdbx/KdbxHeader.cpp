#include "core/importexport/kdbx/KdbxHeader.h"

#include <algorithm>
#include <array>
#include <string>

namespace {
constexpr std::uint32_t Signature1 = 0x9AA2D903;
constexpr std::uint32_t Signature2 = 0xB54BFB67;
constexpr std::uint32_t KeePass1Signature2 = 0xB54BFB65;
constexpr std::uint32_t PreReleaseSignature2 = 0xB54BFB66;
constexpr char Broken[] = "its header is cut short or malformed";

using Uuid = std::array<unsigned char, 16>;
constexpr Uuid AesUuid{0x31, 0xC1, 0xF2, 0xE6, 0xBF, 0x71, 0x43, 0x50, 0xBE, 0x58, 0x05, 0x21, 0x6A, 0xFC, 0x5A, 0xFF};
constexpr Uuid ChaCha20Uuid{0xD6, 0x03, 0x8A, 0x2B, 0x8B, 0x6F, 0x4C, 0xB5,
                            0xA5, 0x24, 0x33, 0x9A, 0x31, 0xDB, 0xB5, 0x9A};
constexpr Uuid TwofishUuid{0xAD, 0x68, 0xF2, 0x9F, 0x57, 0x6F, 0x4B, 0xB9,
                           0xA3, 0x6A, 0xD4, 0x7A, 0xF9, 0x65, 0x34, 0x6C};

enum Field : std::uint8_t
{
    End = 0,
    CipherId = 2,
    Compression = 3,
    MasterSeed = 4,
    TransformSeed = 5,
    TransformRounds = 6,
    EncryptionIv = 7,
    ProtectedStreamKey = 8,
    StreamStartBytes = 9,
    InnerRandomStream = 10,
    KdfParametersField = 11,
};

KdbxCipher CipherOf(std::span<const unsigned char> uuid)
{
    const auto is = [&](const Uuid& known) { return std::equal(uuid.begin(), uuid.end(), known.begin(), known.end()); };
    if (is(AesUuid)) {
        return KdbxCipher::Aes256;
    }
    if (is(ChaCha20Uuid)) {
        return KdbxCipher::ChaCha20;
    }
    if (is(TwofishUuid)) {
        return KdbxCipher::Twofish;
    }
    throw KdbxUnsupported{"it is encrypted with a cipher that Lockmere does not know"};
}

const Uuid& UuidOf(KdbxCipher cipher)
{
    return cipher == KdbxCipher::ChaCha20 ? ChaCha20Uuid : cipher == KdbxCipher::Twofish ? TwofishUuid : AesUuid;
}

void RequireSize(std::span<const unsigned char> value, std::size_t size)
{
    if (value.size() != size) {
        throw KdbxMalformed{Broken};
    }
}

void CheckVersion(std::uint16_t major, std::uint16_t minor)
{
    if (major == 4 || (major == 3 && minor >= 1)) {
        return;
    }
    throw KdbxUnsupported{"it is KDBX version " + std::to_string(major) + "." + std::to_string(minor) +
                          "; Lockmere reads versions 3.1, 4.0 and 4.1"};
}

void ReadField(KdbxHeader& header, std::uint8_t id, std::span<const unsigned char> value)
{
    switch (id) {
    case CipherId:
        RequireSize(value, 16);
        header.cipher = CipherOf(value);
        return;
    case Compression:
        RequireSize(value, 4);
        if (ReadLittleEndian<std::uint32_t>(value) > 1) {
            throw KdbxUnsupported{"it is compressed in a way that Lockmere does not know"};
        }
        header.gzip = ReadLittleEndian<std::uint32_t>(value) == 1;
        return;
    case MasterSeed:
        RequireSize(value, 32);
        header.masterSeed.assign(value.begin(), value.end());
        return;
    case EncryptionIv:
        header.iv.assign(value.begin(), value.end());
        return;
    case KdfParametersField:
        header.kdf = KdfFromParameters(value);
        return;
    default:
        break;
    }
    if (header.major != 3) {
        return;
    }
    switch (id) {
    case TransformSeed:
        RequireSize(value, 32);
        header.kdf.kind = KdbxKdf::Kind::AesKdbx3;
        header.kdf.seed.assign(value.begin(), value.end());
        return;
    case TransformRounds:
        RequireSize(value, 8);
        header.kdf.rounds = ReadLittleEndian<std::uint64_t>(value);
        return;
    case ProtectedStreamKey:
        header.protectedStreamKey.assign(value.begin(), value.end());
        return;
    case StreamStartBytes:
        header.streamStartBytes.assign(value.begin(), value.end());
        return;
    case InnerRandomStream:
        RequireSize(value, 4);
        header.innerStream = ReadLittleEndian<std::uint32_t>(value);
        return;
    default:
        return;
    }
}

void CheckComplete(const KdbxHeader& header)
{
    const bool kdbx3 = header.major == 3;
    if (header.masterSeed.empty() || header.iv.size() != IvLength(header.cipher) || header.kdf.seed.empty() ||
        (kdbx3 && (header.streamStartBytes.size() != 32 || header.protectedStreamKey.empty()))) {
        throw KdbxMalformed{Broken};
    }
}

void AppendField(SecureBytes& out, std::uint8_t id, std::span<const unsigned char> value)
{
    out.push_back(id);
    AppendLittleEndian(out, static_cast<std::uint32_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}
} // namespace

KdbxPayloadKeys::~KdbxPayloadKeys()
{
    OPENSSL_cleanse(cipherKey.data(), cipherKey.size());
    OPENSSL_cleanse(hmacBase.data(), hmacBase.size());
}

void DerivePayloadKeys(const KdbxHeader& header, std::span<const unsigned char> compositeKey, KdbxPayloadKeys& keys)
{
    std::array<unsigned char, 32> transformed{};
    DeriveKey(header.kdf, compositeKey, transformed);
    static constexpr unsigned char HmacMark[] = {1};
    keys.cipherKey = Sha256({header.masterSeed, transformed});
    keys.hmacBase = Sha512({header.masterSeed, transformed, HmacMark});
    OPENSSL_cleanse(transformed.data(), transformed.size());
}

bool HasKdbxSignature(std::span<const unsigned char> start)
{
    return start.size() >= 8 && ReadLittleEndian<std::uint32_t>(start) == Signature1 &&
           ReadLittleEndian<std::uint32_t>(start.subspan(4)) == Signature2;
}

KdbxHeader ParseKdbxHeader(std::span<const unsigned char> file, const KdbxLimits& limits)
{
    CByteReader reader(file);
    const bool signature = file.size() >= 8 && ReadLittleEndian<std::uint32_t>(file) == Signature1;
    const std::uint32_t second = signature ? ReadLittleEndian<std::uint32_t>(file.subspan(4)) : 0;
    if (second == KeePass1Signature2) {
        throw KdbxUnsupported{"it is a KeePass 1 database (.kdb); only KeePass 2 files (.kdbx) can be imported"};
    }
    if (second != Signature2 && second != PreReleaseSignature2) {
        throw KdbxUnsupported{"it is not a KeePass database (.kdbx)"};
    }
    reader.Take(8, Broken);
    KdbxHeader header;
    header.minor = reader.Read<std::uint16_t>(Broken);
    header.major = reader.Read<std::uint16_t>(Broken);
    CheckVersion(header.major, header.minor);
    header.kdf.kind = KdbxKdf::Kind::AesKdbx3;
    for (;;) {
        const auto id = reader.Read<std::uint8_t>(Broken);
        const std::size_t size =
            header.major == 3 ? reader.Read<std::uint16_t>(Broken) : reader.Read<std::uint32_t>(Broken);
        const auto value = reader.Take(size, Broken);
        if (id == End) {
            break;
        }
        ReadField(header, id, value);
    }
    header.length = reader.Position();
    CheckComplete(header);
    CheckKdfLimits(header.kdf, limits);
    return header;
}

SecureBytes SerialiseKdbx4Header(const KdbxHeader& header)
{
    SecureBytes out;
    AppendLittleEndian(out, Signature1);
    AppendLittleEndian(out, Signature2);
    AppendLittleEndian(out, header.minor);
    AppendLittleEndian(out, header.major);
    AppendField(out, CipherId, UuidOf(header.cipher));
    SecureBytes compression;
    AppendLittleEndian(compression, std::uint32_t{header.gzip ? 1u : 0u});
    AppendField(out, Compression, compression);
    AppendField(out, MasterSeed, header.masterSeed);
    AppendField(out, EncryptionIv, header.iv);
    AppendField(out, KdfParametersField, KdfParameters(header.kdf));
    static constexpr unsigned char EndMark[] = {'\r', '\n', '\r', '\n'};
    AppendField(out, End, EndMark);
    return out;
}
