#include "core/importexport/kdbx/KdbxWriter.h"

#include <algorithm>

#include "core/importexport/kdbx/Gzip.h"
#include "core/importexport/kdbx/KdbxBlocks.h"
#include "core/importexport/kdbx/KdbxHeader.h"
#include "core/importexport/kdbx/KdbxXmlExport.h"
#include "core/passgen/RandomSource.h"

namespace {
constexpr std::size_t InnerStreamKeySize = 64;

SecureBytes RandomBytes(IRandomSource& random, std::size_t size)
{
    SecureBytes bytes(size);
    random.Fill(bytes.data(), bytes.size());
    return bytes;
}

KdbxHeader HeaderFor(const KdbxWriteOptions& options, IRandomSource& random)
{
    KdbxHeader header;
    header.major = 4;
    header.minor = 0;
    header.cipher = options.cipher;
    header.gzip = options.gzip;
    header.masterSeed = RandomBytes(random, 32);
    header.iv = RandomBytes(random, IvLength(options.cipher));
    header.kdf.kind = options.kdf;
    header.kdf.seed = RandomBytes(random, 32);
    header.kdf.rounds = options.rounds;
    header.kdf.memoryBytes = options.argon2MemoryBytes;
    header.kdf.parallelism = options.argon2Parallelism;
    return header;
}

// The inner header (the stream that protects values), then the XML.
SecureBytes Content(const CDataBase& entries, std::u16string_view rootName, IRandomSource& random, std::int64_t now)
{
    const SecureBytes streamKey = RandomBytes(random, InnerStreamKeySize);
    CInnerStream stream(CInnerStream::Kind::ChaCha20, streamKey);
    const SecureBytes xml = KdbxXml(entries, rootName, stream, random, now);
    // Stream id 3 (ChaCha20), the stream's key, the end field.
    const std::uint32_t kind = static_cast<std::uint32_t>(CInnerStream::Kind::ChaCha20);
    const unsigned char inner[] = {1, 4, 0, 0, 0, static_cast<unsigned char>(kind), 0, 0, 0, 2, InnerStreamKeySize,
                                   0, 0, 0};
    static constexpr unsigned char End[] = {0, 0, 0, 0, 0};
    SecureBytes content(sizeof(inner) + streamKey.size() + sizeof(End) + xml.size());
    auto at = std::copy(std::begin(inner), std::end(inner), content.begin());
    at = std::copy(streamKey.begin(), streamKey.end(), at);
    at = std::copy(std::begin(End), std::end(End), at);
    std::copy(xml.begin(), xml.end(), at);
    return content;
}
} // namespace

SecureBytes WriteKdbx(const CDataBase& entries, std::u16string_view rootName, const KdbxCredentials& credentials,
                      const KdbxWriteOptions& options, IRandomSource& random, std::int64_t now)
{
    const KdbxHeader header = HeaderFor(options, random);
    const SecureBytes compositeKey = CompositeKey(credentials);
    SecureBytes payload = Content(entries, rootName, random, now);
    if (options.gzip) {
        payload = Gzip(payload);
    }

    KdbxPayloadKeys keys;
    DerivePayloadKeys(header, compositeKey, keys);
    EncryptPayload(header.cipher, keys.cipherKey, header.iv, payload);

    SecureBytes file = SerialiseKdbx4Header(header);
    const Sha256Digest headerHash = Sha256({file});
    Sha512Digest headerKey = BlockHmacKey(keys.hmacBase, HeaderHmacIndex);
    const Sha256Digest headerMac = HmacSha256(headerKey, {file});
    OPENSSL_cleanse(headerKey.data(), headerKey.size());
    file.insert(file.end(), headerHash.begin(), headerHash.end());
    file.insert(file.end(), headerMac.begin(), headerMac.end());
    file.reserve(file.size() + payload.size() + payload.size() / (1 << 20) * 40 + 80);
    WriteHmacBlocks(payload, keys.hmacBase, file);
    return file;
}
