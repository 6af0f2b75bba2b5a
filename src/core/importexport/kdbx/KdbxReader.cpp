#include "core/importexport/kdbx/KdbxReader.h"

#include <cstring>
#include <new>

#include "core/common/Utf.h"
#include "core/common/WholeFileReader.h"
#include "core/importexport/ImportFile.h"
#include "core/importexport/kdbx/Gzip.h"
#include "core/importexport/kdbx/KdbxBlocks.h"
#include "core/importexport/kdbx/KdbxHeader.h"
#include "core/settings/BuiltinTexts.h"

namespace {
const std::u16string WrongKeyMessage = u"Invalid password or key file.";

enum InnerField : std::uint8_t
{
    InnerEnd = 0,
    InnerStreamId = 1,
    InnerStreamKey = 2,
};

struct WrongKey
{};

CInnerStream::Kind StreamKind(std::uint32_t id)
{
    if (id != 0 && id != 2 && id != 3) {
        throw KdbxUnsupported{"its protected values are hidden with a cipher that Lockmere does not know"};
    }
    return static_cast<CInnerStream::Kind>(id);
}

SecureBytes Unpack(const KdbxHeader& header, SecureBytes&& data)
{
    if (!header.gzip) {
        return std::move(data);
    }
    try {
        return Gunzip(data, KdbxContentSizeLimit);
    } catch (const GzipDamaged&) {
        throw KdbxMalformed{"its compressed content cannot be unpacked"};
    }
}

SecureBytes Kdbx4Content(std::span<const unsigned char> file, const KdbxHeader& header, const KdbxPayloadKeys& keys)
{
    CByteReader reader(file.subspan(header.length));
    const auto hash = reader.Take(32, "its header checksum is cut short");
    const auto mac = reader.Take(32, "its header checksum is cut short");
    const auto headerBytes = file.first(header.length);
    if (!SameDigest(Sha256({headerBytes}), hash)) {
        throw KdbxMalformed{"its header does not match its checksum"};
    }
    Sha512Digest headerKey = BlockHmacKey(keys.hmacBase, HeaderHmacIndex);
    const bool keyFits = SameDigest(HmacSha256(headerKey, {headerBytes}), mac);
    OPENSSL_cleanse(headerKey.data(), headerKey.size());
    if (!keyFits) {
        throw WrongKey{};
    }
    SecureBytes data = ReadHmacBlocks(file.subspan(header.length + 64), keys.hmacBase);
    try {
        DecryptPayload(header.cipher, keys.cipherKey, header.iv, data);
    } catch (const KdbxPaddingError&) {
        // Authenticated blocks under the right key: only a broken writer leaves a bad padding behind.
        throw KdbxMalformed{"its encrypted content does not end as it should"};
    }
    return Unpack(header, std::move(data));
}

KdbxImport MapKdbx4(SecureBytes& content)
{
    CByteReader reader(content);
    const char* broken = "its inner header is cut short or malformed";
    std::uint32_t streamId = 0;
    SecureBytes streamKey;
    for (;;) {
        const auto id = reader.Read<std::uint8_t>(broken);
        const auto size = reader.Read<std::uint32_t>(broken);
        const auto value = reader.Take(size, broken);
        if (id == InnerEnd) {
            break;
        }
        if (id == InnerStreamId && size == 4) {
            streamId = ReadLittleEndian<std::uint32_t>(value);
        } else if (id == InnerStreamKey) {
            streamKey.assign(value.begin(), value.end());
        }
    }
    CInnerStream stream(StreamKind(streamId), streamKey);
    // The XML follows the inner header; parsed in place, it stays in this wiped buffer.
    content.erase(content.begin(), content.begin() + static_cast<std::ptrdiff_t>(reader.Position()));
    return MapKdbxXml(content, stream, std::nullopt);
}

KdbxImport ReadKdbx3(std::span<const unsigned char> file, const KdbxHeader& header, const KdbxPayloadKeys& keys)
{
    const auto encrypted = file.subspan(header.length);
    SecureBytes data(encrypted.begin(), encrypted.end());
    try {
        DecryptPayload(header.cipher, keys.cipherKey, header.iv, data);
    } catch (const KdbxPaddingError&) {
        throw WrongKey{};
    }
    if (data.size() < 32 || !SameDigest(std::span(data).first(32), header.streamStartBytes)) {
        throw WrongKey{};
    }
    SecureBytes content = Unpack(header, ReadHashedBlocks(std::span(data).subspan(32)));
    CInnerStream stream(StreamKind(header.innerStream), header.protectedStreamKey);
    return MapKdbxXml(content, stream, Sha256({file.first(header.length)}));
}

KdbxImport Read(std::span<const unsigned char> file, std::span<const unsigned char> compositeKey,
                const KdbxLimits& limits)
{
    const KdbxHeader header = ParseKdbxHeader(file, limits);
    KdbxPayloadKeys keys;
    DerivePayloadKeys(header, compositeKey, keys);
    if (header.major == 3) {
        return ReadKdbx3(file, header, keys);
    }
    SecureBytes content = Kdbx4Content(file, header, keys);
    return MapKdbx4(content);
}

std::u16string Sentence(const std::string& text)
{
    return Utf8ToUtf16(text);
}

// Turns the reader's exceptions into the one refusal the user sees.
template <class Operation> auto Refusing(const ITextSource& texts, Operation&& operation)
{
    try {
        return operation();
    } catch (const WrongKey&) {
        throw KdbxRefusal{WrongKeyMessage, true};
    } catch (const KdbxUnsupported& unsupported) {
        throw KdbxRefusal{Sentence("The file cannot be imported: " + unsupported.reason + ".")};
    } catch (const KdbxUnknownKdf&) {
        throw KdbxRefusal{Sentence("The file cannot be imported: its key derivation is of a kind or version that "
                                   "Lockmere does not know.")};
    } catch (const KdbxTooCostly&) {
        throw KdbxRefusal{Sentence(std::string("The file asks for more key derivation work than Lockmere allows (") +
                                   KdbxLimitsText + "). Nothing was imported.")};
    } catch (const KdbxMalformed& malformed) {
        throw KdbxRefusal{Sentence("The file is damaged: " + malformed.what + ". Nothing was imported.")};
    } catch (const GzipTooLarge&) {
        throw KdbxRefusal{Sentence("The file's content unpacks to more than Lockmere imports (2 GiB).")};
    } catch (const KdbxForbiddenCharacters&) {
        throw KdbxRefusal{texts.Text(TextId::InvalidCharacters)};
    }
}

SecureBytes ReadKdbxBytes(const std::filesystem::path& path)
{
    try {
        return ReadWholeFile(path, KdbxFileSizeLimit);
    } catch (const FileTooLarge&) {
        throw KdbxRefusal{u"The file is larger than Lockmere imports (1 GiB)."};
    } catch (const FileUnreadable& unreadable) {
        const std::string reason = unreadable.error != 0 ? std::strerror(unreadable.error) : "it is no regular file";
        throw KdbxRefusal{Sentence("The file cannot be read: " + reason + ".")};
    }
}

SecureBytes CompositeKeyOf(const KdbxCredentials& credentials)
{
    try {
        return CompositeKey(credentials);
    } catch (const KdbxKeyFileProblem& problem) {
        throw KdbxRefusal{Utf8ToUtf16(credentials.keyFile->string()) +
                          Sentence(": the key file cannot be used: " + problem.reason + ".")};
    }
}

void Report(IMessageReporter& reporter, const std::filesystem::path& path, const KdbxRefusal& refusal)
{
    const std::u16string named =
        refusal.wrongKey ? refusal.message : Utf8ToUtf16(path.string()) + u": " + refusal.message;
    reporter.ShowMessage(named, MessageIcon::Error);
}
} // namespace

bool IsKdbxFile(const std::filesystem::path& path)
{
    try {
        std::uint64_t size = 0;
        const UniqueFd file = OpenRegularFile(path, KdbxFileSizeLimit, size);
        unsigned char start[8] = {};
        if (size < sizeof(start)) {
            return false;
        }
        ReadExactly(file, start, sizeof(start));
        return HasKdbxSignature(start);
    } catch (...) {
        return false;
    }
}

bool CheckKdbxFile(const CDataBase& database, const std::filesystem::path& path, const KdbxLimits& limits)
{
    try {
        const SecureBytes bytes = ReadKdbxBytes(path);
        Refusing(database.Texts(), [&] { return ParseKdbxHeader(bytes, limits); });
        return true;
    } catch (const KdbxRefusal& refusal) {
        Report(database.Reporter(), path, refusal);
    } catch (...) {
        ReportImportFailure(database.Reporter());
    }
    return false;
}

std::optional<KdbxImport> ReadKdbxFile(const CDataBase& database, const std::filesystem::path& path,
                                       const KdbxCredentials& credentials, KdbxReadResult* result,
                                       const KdbxLimits& limits)
{
    KdbxReadResult outcome = KdbxReadResult::Failed;
    std::optional<KdbxImport> read;
    try {
        const SecureBytes bytes = ReadKdbxBytes(path);
        // The header is checked before the key file is read, so that a file we cannot read says so first.
        Refusing(database.Texts(), [&] { return ParseKdbxHeader(bytes, limits); });
        const SecureBytes compositeKey = CompositeKeyOf(credentials);
        read = ReadKdbx(bytes, compositeKey, database.Texts(), limits);
        outcome = KdbxReadResult::Read;
    } catch (const KdbxRefusal& refusal) {
        Report(database.Reporter(), path, refusal);
        outcome = refusal.wrongKey ? KdbxReadResult::WrongKey : KdbxReadResult::Failed;
    } catch (...) {
        ReportImportFailure(database.Reporter());
    }
    if (result != nullptr) {
        *result = outcome;
    }
    return read;
}

KdbxImport ReadKdbx(std::span<const unsigned char> file, std::span<const unsigned char> compositeKey,
                    const ITextSource& texts, const KdbxLimits& limits)
{
    return Refusing(texts, [&] { return Read(file, compositeKey, limits); });
}

KdbxImport ReadKdbx4Content(SecureBytes& content, const ITextSource& texts)
{
    return Refusing(texts, [&] { return MapKdbx4(content); });
}
