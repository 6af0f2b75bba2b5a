#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "core/common/AtomicFile.h"
#include "core/common/SecureString.h"
#include "core/database/DataBase.h"
#include "core/database/RecordReader.h"

// Results of reading a database file.
namespace ReadResult {
inline constexpr int Failed = 0;           // already reported
inline constexpr int Done = 1;             // text delivered / entries inserted
inline constexpr int InvalidPassword = -1; // wrong password or damaged file, reported as "Invalid password."
} // namespace ReadResult

// A database file as written or read: which version of it, and the length of the text under its two layers.
struct DatabaseFileText
{
    FileVersion version;
    std::size_t textBytes = 0;
};

// The file a save replaces, when its text is byte for byte what a save of the collection, as it stood before the
// changes from `firstChanged` on (nullopt: none), writes under the same password. Every layer starts from a zero IV
// and records are written in key order, so the triple-DES ciphertext before the first changed record is the same in
// the new file: it is taken over from this file, if that is still the version given and as long as the text given.
struct UnchangedPrefix
{
    DatabaseFileText file;
    std::optional<EntryKey> firstChanged;
};

// Writes the whole collection to the file, encrypted under the password; reports failures itself. The check of `how`,
// when given, looks at the file about to be replaced while it is locked; its refusal is shown with its own message.
// `written`, when given, receives the version and text length of the file written. With `unchanged`, triple DES runs
// only from the first changed record on; the bytes written are the same as without.
bool WriteDatabase(const CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                   const FileReplacement& how = {}, DatabaseFileText* written = nullptr,
                   const UnchangedPrefix* unchanged = nullptr);

enum class WriteResult
{
    Written,
    // The check of `how` found the file replaced by another program (FileReplaced): nothing was written or reported.
    Replaced,
    // Reported.
    Failed,
};

// WriteDatabase for a caller that deals with a replaced file itself.
WriteResult WriteDatabaseUnlessReplaced(const CDataBase& database, const std::filesystem::path& path,
                                        const SecureString& password, const FileReplacement& how = {},
                                        DatabaseFileText* written = nullptr,
                                        const UnchangedPrefix* unchanged = nullptr);

// When the records of a file reach the caller: while later parts of it are still being decrypted, or only once all
// of it has decrypted, so that a failure of the decryption adds none of them.
enum class RecordDelivery
{
    AsDecrypted,
    AfterDecryption,
};

// Reads and decrypts the file and calls `record` for each whole record before the first damage, in file order;
// reports failures itself. On Done `read` receives what the reader found.
int ReadRecords(const CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                const std::function<void(Entry&)>& record, RecordsRead& read, RecordDelivery delivery);

// Reads the file and inserts its entries (first of equal keys wins). Does not empty the collection first. `read`,
// when given, receives what the parser found, so that the caller can deal with a damaged file.
int ReadDatabase(CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                 RecordsRead* read = nullptr);

// Inserts every whole record of the decrypted text before the first damage with a plain insertion.
RecordsRead ParseEntries(CDataBase& database, const SecureString& text);

// Whether the decrypted text is a database this program may write back as it is: whole records and nothing else.
bool IsWholeRecords(const SecureString& text);

// Whether the text just read into the collection, which was empty before, is byte for byte what a save of the
// collection writes: undamaged, each record after the one before it in key order (so none was dropped as a
// duplicate), and the same length. Only then may a save keep the file's encryption of the records it leaves alone.
bool IsTextOfCollection(const CDataBase& database, const RecordsRead& read);

// Whether a field can be stored: it holds neither the terminator nor a NUL, which the reader takes for damage.
bool IsStorableField(const SecureString& field);
// Whether any field holds a NUL: input that the dialogs and the command line refuse with their own message.
bool HoldsNul(const SecureString& field);
bool HoldsNul(const Entry& entry);

// The plaintext of the collection (fields in order, each followed by the terminator). Throws
// std::invalid_argument when a field holds the terminator or a NUL.
SecureString BuildPlaintext(const CDataBase& database);
