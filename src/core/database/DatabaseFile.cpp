#include "core/database/DatabaseFile.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/common/AtomicFile.h"
#include "core/common/SecretPages.h"
#include "core/common/WholeFileReader.h"
#include "core/database/FileReplacedCheck.h"
#include "core/database/InnerLayerStart.h"
#include "core/database/LayeredDecryption.h"
#include "core/database/WinCrypto.h"
#include "core/settings/BuiltinTexts.h"

// The plaintext is built and parsed as char16_t in memory and stored as UTF-16LE, which is the same bytes here.
static_assert(std::endian::native == std::endian::little, "the database file layout assumes a little-endian machine");

namespace {
const std::u16string InvalidCharactersMessage =
    u"An exception occurred. Invalid characters detected. The changes can not be written to the database file.";
const std::u16string WriteSizeMessage = u"Exceeded the maximum database file size. The changes can not be saved.";
const std::u16string WriteFileMessage =
    u"An unknown file exception occurred when attempting to save the database. It is recommended that you restart the "
    u"application as soon as possible.";
const std::u16string WriteMemoryMessage =
    u"Not enough memory, the changes can not be written to the database file. It is recommended that you restart the "
    u"application as soon as possible.";
const std::u16string WriteUnknownMessage =
    u"An unknown exception occurred when attempting to save the database. It is recommended that you restart the "
    u"application as soon as possible.";
const std::u16string ReadSizeMessage = u"Exceeded the maximum database file size. The file can not be read.";
const std::u16string ReadFileMessage = u"An unknown file exception occurred when attempting to read the database.";
const std::u16string ReadMemoryMessage = u"Not enough memory to read the database file.";
const std::u16string ReadUnknownMessage = u"An unknown exception occurred when attempting to read the database.";

constexpr std::uint64_t MaximumPlaintextBytes = 4294967295ULL;
constexpr std::uint64_t MaximumFileBytes = 4294967296ULL;
// Room for the padding of both layers: up to 8 bytes of triple DES, then up to 16 of AES.
constexpr std::size_t PaddingRoomUnits = (8 + 16) / 2;
constexpr std::size_t FieldsPerRecord = EntryFieldCount;
constexpr std::size_t TripleDesBlock = 8;
constexpr std::size_t AesBlock = 16;

struct PlaintextTooLarge
{};

template <class Visit> void ForEachField(const CDataBase::Map::value_type& item, Visit visit)
{
    const auto& [key, fields] = item;
    visit(key.group);
    visit(key.title);
    visit(fields.username);
    visit(fields.password);
    visit(fields.url);
    visit(fields.notes);
}

bool IsStorableUnits(std::u16string_view field)
{
    // The terminator would end the field early; a NUL is what a damaged text looks like to the reader. Both start
    // with a unit below 8, which a field almost never holds: one plain pass looks for such a unit, and only then for
    // either of them.
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] < 8) [[unlikely]] {
            const std::u16string_view rest = field.substr(i);
            return rest.find(FieldTerminatorView) == std::u16string_view::npos &&
                   rest.find(u'\0') == std::u16string_view::npos;
        }
    }
    return true;
}

std::uint64_t RecordUnits(const CDataBase::Map::value_type& item)
{
    std::uint64_t units = 0;
    ForEachField(item, [&](const SecureString& field) { units += field.size() + FieldTerminatorView.size(); });
    return units;
}

std::uint64_t TextUnits(const CDataBase& database)
{
    std::uint64_t units = 0;
    for (const auto& item : database) {
        units += RecordUnits(item);
    }
    return units;
}

// The length of a file over a text of `textBytes`: each layer pads to its next whole block.
std::uint64_t FileBytesFor(std::uint64_t textBytes)
{
    const std::uint64_t inner = (textBytes / TripleDesBlock + 1) * TripleDesBlock;
    return (inner / AesBlock + 1) * AesBlock;
}

void AppendRecord(SecureString& text, const CDataBase::Map::value_type& item)
{
    ForEachField(item, [&](const SecureString& field) {
        // Checked where it was just copied to, while it is in the cache.
        const std::size_t start = text.size();
        text.append(field);
        if (!IsStorableUnits(std::u16string_view(text).substr(start))) {
            throw std::invalid_argument("a field holds the field terminator or a NUL");
        }
        text.append(FieldTerminatorView.begin(), FieldTerminatorView.end());
    });
}

// The plaintext in a buffer with room for both layers' padding, so that both encryptions run in place; and where the
// record of `marked` starts in it (the text's length for the end). The records before `firstWritten` are left as
// zeros for the caller to fill.
struct Plaintext
{
    SecureString text;
    std::size_t markedUnits = 0;
    std::size_t firstWrittenUnits = 0;
};

enum class Records
{
    All,
    FromTheOneBeforeMarked,
};

Plaintext BuildPlaintextWithRoom(const CDataBase& database, std::size_t roomUnits, CDataBase::const_iterator marked,
                                 Records written = Records::All)
{
    std::uint64_t units = 0;
    std::uint64_t markedUnits = 0;
    for (auto item = database.begin(); item != database.end(); ++item) {
        if (item == marked) {
            markedUnits = units;
        }
        units += RecordUnits(*item);
    }
    if (marked == database.end()) {
        markedUnits = units;
    }
    if (units * 2 > MaximumPlaintextBytes) {
        throw PlaintextTooLarge{};
    }
    Plaintext plaintext;
    plaintext.text.reserve(static_cast<std::size_t>(units) + roomUnits);
    plaintext.markedUnits = static_cast<std::size_t>(markedUnits);
    auto item = database.begin();
    if (written == Records::FromTheOneBeforeMarked && marked != database.begin()) {
        item = std::prev(marked);
        plaintext.firstWrittenUnits = static_cast<std::size_t>(markedUnits - RecordUnits(*item));
        plaintext.text.resize(plaintext.firstWrittenUnits);
    }
    for (; item != database.end(); ++item) {
        AppendRecord(plaintext.text, *item);
    }
    return plaintext;
}

unsigned char* BytesOf(SecureString& text)
{
    return reinterpret_cast<unsigned char*>(text.data());
}

// Whether the file's triple-DES ciphertext of its first `restart` bytes is that of the new text: it covers only text
// the file holds (not its padding), and the file is as long as a file over that text.
bool MayKeep(const DatabaseFileText& file, const Plaintext& plaintext, std::size_t restart)
{
    return restart > 0 && restart >= plaintext.firstWrittenUnits * 2 && plaintext.markedUnits * 2 <= file.textBytes &&
           static_cast<std::uint64_t>(file.version.size) == FileBytesFor(file.textBytes);
}

// Takes the triple-DES ciphertext before the first changed record over from the file before, from the start up to
// whole blocks of both layers, in place of the plaintext it was made from. Returns how many bytes were taken; when
// none were, the buffer holds the whole plaintext.
std::size_t KeepInnerLayerStart(Plaintext& plaintext, const CDataBase& database, const std::filesystem::path& path,
                                const CWinCrypto& aes, const DatabaseFileText& file)
{
    const std::size_t restart = plaintext.markedUnits * 2 / AesBlock * AesBlock;
    if (MayKeep(file, plaintext, restart) &&
        ReadInnerLayerStart(path, file.version, aes, BytesOf(plaintext.text), restart)) {
        return restart;
    }
    // The records left out, or overwritten by a read that failed midway, are needed after all.
    if (plaintext.firstWrittenUnits > 0 || restart > 0) {
        plaintext = BuildPlaintextWithRoom(database, PaddingRoomUnits, database.end());
    }
    return 0;
}

DatabaseFileText EncryptAndWrite(const CDataBase& database, const std::filesystem::path& path,
                                 const SecureString& password, const FileReplacement& how,
                                 const UnchangedPrefix* unchanged)
{
    const auto firstChanged = unchanged != nullptr && unchanged->firstChanged
                                  ? database.LowerBound(*unchanged->firstChanged)
                                  : database.end();
    Plaintext plaintext = BuildPlaintextWithRoom(database, PaddingRoomUnits, firstChanged,
                                                 unchanged != nullptr ? Records::FromTheOneBeforeMarked : Records::All);
    SecureString& buffer = plaintext.text;
    const std::size_t plaintextBytes = buffer.size() * 2;
    const CWinCrypto aes(CWinCrypto::Algorithm::Aes256, password);
    const std::size_t kept =
        unchanged != nullptr ? KeepInnerLayerStart(plaintext, database, path, aes, unchanged->file) : 0;
    buffer.resize(buffer.size() + PaddingRoomUnits);
    std::size_t length = CWinCrypto(CWinCrypto::Algorithm::TripleDes112, password)
                             .EncryptInPlaceFrom(BytesOf(buffer), plaintextBytes, kept);
    length = aes.EncryptInPlace(BytesOf(buffer), length);
    return {WriteFileAtomically(path, std::span<const unsigned char>(BytesOf(buffer), length), how), plaintextBytes};
}

bool ComesAfterLast(const CDataBase& database, const Entry& entry)
{
    const EntryKey& last = std::prev(database.end())->first;
    const int byGroup = entry.group.compare(last.group);
    return byGroup > 0 || (byGroup == 0 && entry.title.compare(last.title) > 0);
}

bool HoldsAWholeRecord(std::u16string_view view)
{
    std::size_t position = 0;
    for (std::size_t found = 0; found < FieldsPerRecord; ++found) {
        position = view.find(FieldTerminatorView, position);
        if (position == std::u16string_view::npos) {
            return false;
        }
        position += FieldTerminatorView.size();
    }
    return true;
}

// The inserting reader of ParseEntries and ReadDatabase.
std::function<void(Entry&)> InsertInto(CDataBase& database, bool& inKeyOrder)
{
    return [&database, &inKeyOrder](Entry& entry) {
        inKeyOrder = inKeyOrder && (database.Empty() || ComesAfterLast(database, entry));
        database.Insert(std::move(entry));
    };
}

// Reads the file into memory of its own and takes both layers off, giving the reader the text from the start as it
// becomes known when the records are delivered as decrypted.
RecordsRead ReadFileRecords(const std::filesystem::path& path, const SecureString& password, RecordReader& reader,
                            RecordDelivery delivery)
{
    std::uint64_t size = 0;
    const UniqueFd file = OpenRegularFile(path, MaximumFileBytes, size);
    const auto length = static_cast<std::size_t>(size);
    SecretPages pages(length);
    ReadExactly(file, pages.Data(), size);
    const auto* text = reinterpret_cast<const char16_t*>(pages.Data());
    std::function<void(std::size_t)> known;
    if (delivery == RecordDelivery::AsDecrypted) {
        known = [&](std::size_t bytes) {
            reader.Read(std::u16string_view(text, bytes / 2));
            // Once a whole record is read the file is one of ours, and the text before the reader is no longer needed.
            if (reader.Records() > 0) {
                pages.ReleaseBefore(reader.Position() * 2);
            }
        };
    }
    const std::size_t textLength = DecryptLayers(CWinCrypto(CWinCrypto::Algorithm::Aes256, password),
                                                 CWinCrypto(CWinCrypto::Algorithm::TripleDes112, password),
                                                 pages.Data(), length, DecryptionPieces::For(length), known);
    // Zero the paddings after the text, which also completes an odd last byte to a whole unit: the text keeps every
    // unit, as a NUL is damage the reader must see, not an end.
    std::memset(pages.Data() + textLength, 0, length - textLength);
    const std::u16string_view whole(text, (textLength + 1) / 2);
    RecordsRead read = reader.Finish(whole);
    // No save writes half a unit: the byte is missing from a damaged copy. Completed with the zero that ends every
    // whole text, the records are still read, but the file is not what a save of them writes.
    read.damaged = read.damaged || textLength % 2 != 0;
    read.textBytes = textLength;
    // Text without a single whole record is what a wrong password gives when both paddings happen to be valid;
    // opening it as an empty database would let the next save destroy the real one.
    if (!whole.empty() && read.records == 0 && !HoldsAWholeRecord(whole)) {
        throw CWinCryptoException(CryptoError::BadData);
    }
    return read;
}
} // namespace

bool IsStorableField(const SecureString& field)
{
    return IsStorableUnits(std::u16string_view(field.data(), field.size()));
}

bool HoldsNul(const SecureString& field)
{
    return field.find(u'\0') != SecureString::npos;
}

bool HoldsNul(const Entry& entry)
{
    for (int field = 0; field < EntryFieldCount; ++field) {
        if (HoldsNul(FieldOf(entry, static_cast<EntryField>(field)))) {
            return true;
        }
    }
    return false;
}

SecureString BuildPlaintext(const CDataBase& database)
{
    return BuildPlaintextWithRoom(database, 0, database.end()).text;
}

bool WriteDatabase(const CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                   const FileReplacement& how, DatabaseFileText* written, const UnchangedPrefix* unchanged)
{
    const WriteResult result = WriteDatabaseUnlessReplaced(database, path, password, how, written, unchanged);
    if (result == WriteResult::Replaced) {
        database.Reporter().ShowMessage(FileReplacedMessage, MessageIcon::Error);
    }
    return result == WriteResult::Written;
}

WriteResult WriteDatabaseUnlessReplaced(const CDataBase& database, const std::filesystem::path& path,
                                        const SecureString& password, const FileReplacement& how,
                                        DatabaseFileText* written, const UnchangedPrefix* unchanged)
{
    IMessageReporter& reporter = database.Reporter();
    try {
        const DatabaseFileText file = EncryptAndWrite(database, path, password, how, unchanged);
        if (written != nullptr) {
            *written = file;
        }
        return WriteResult::Written;
    } catch (const FileReplaced&) {
        return WriteResult::Replaced;
    } catch (const std::invalid_argument&) {
        reporter.ShowMessage(InvalidCharactersMessage, MessageIcon::Error);
    } catch (const PlaintextTooLarge&) {
        reporter.ShowMessage(WriteSizeMessage, MessageIcon::Error);
    } catch (const CWinCryptoException& error) {
        reporter.ShowMessage(error.ErrorText(), MessageIcon::Error);
    } catch (const TargetCheckFailed& refusal) {
        reporter.ShowMessage(refusal.Message(), MessageIcon::Error);
    } catch (const FileWriteError&) {
        reporter.ShowMessage(WriteFileMessage, MessageIcon::Error);
    } catch (const std::bad_alloc&) {
        reporter.ShowMessage(WriteMemoryMessage, MessageIcon::Error);
    } catch (...) {
        reporter.ShowMessage(WriteUnknownMessage, MessageIcon::Error);
    }
    return WriteResult::Failed;
}

int ReadRecords(const CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                const std::function<void(Entry&)>& record, RecordsRead& read, RecordDelivery delivery)
{
    IMessageReporter& reporter = database.Reporter();
    try {
        RecordReader reader(record);
        read = ReadFileRecords(path, password, reader, delivery);
        return ReadResult::Done;
    } catch (const FileTooLarge&) {
        reporter.ShowMessage(ReadSizeMessage, MessageIcon::Error);
    } catch (const FileUnreadable&) {
        reporter.ShowMessage(ReadFileMessage, MessageIcon::Error);
    } catch (const CWinCryptoException& error) {
        if (error.Error() == CryptoError::BadData) {
            reporter.ShowMessage(database.Texts().Text(TextId::InvalidPassword), MessageIcon::Error);
            return ReadResult::InvalidPassword;
        }
        reporter.ShowMessage(error.ErrorText(), MessageIcon::Error);
    } catch (const std::bad_alloc&) {
        reporter.ShowMessage(ReadMemoryMessage, MessageIcon::Error);
    } catch (...) {
        reporter.ShowMessage(ReadUnknownMessage, MessageIcon::Error);
    }
    return ReadResult::Failed;
}

int ReadDatabase(CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                 RecordsRead* read)
{
    bool inKeyOrder = true;
    RecordsRead records;
    const int result =
        ReadRecords(database, path, password, InsertInto(database, inKeyOrder), records, RecordDelivery::AsDecrypted);
    if (result == ReadResult::Done && read != nullptr) {
        *read = records;
        read->inKeyOrder = inKeyOrder;
    }
    return result;
}

RecordsRead ParseEntries(CDataBase& database, const SecureString& text)
{
    bool inKeyOrder = true;
    RecordsRead read = RecordReader(InsertInto(database, inKeyOrder)).Finish({text.data(), text.size()});
    read.inKeyOrder = inKeyOrder;
    return read;
}

bool IsWholeRecords(const SecureString& text)
{
    return !RecordReader([](Entry&) {}).Finish({text.data(), text.size()}).damaged;
}

bool IsTextOfCollection(const CDataBase& database, const RecordsRead& read)
{
    return !read.damaged && read.inKeyOrder && read.records == database.Size() &&
           read.textBytes == TextUnits(database) * 2;
}
