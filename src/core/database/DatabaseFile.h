#pragma once

#include <filesystem>
#include <functional>

#include "core/common/AtomicFile.h"
#include "core/common/SecureString.h"
#include "core/database/DataBase.h"

// Results of reading a database file.
namespace ReadResult {
inline constexpr int Failed = 0;           // already reported
inline constexpr int Done = 1;             // text delivered / entries inserted
inline constexpr int InvalidPassword = -1; // wrong password or damaged file, reported as "Invalid password."
} // namespace ReadResult

// The three code units that end every field in the decrypted text.
inline constexpr char16_t FieldTerminator[] = {0x0007, 0x0001, 0x0005};
inline constexpr std::u16string_view FieldTerminatorView{FieldTerminator, 3};

// Writes the whole collection to the file, encrypted under the password; reports failures itself. `checkTarget`, when
// given, looks at the file about to be replaced while it is locked; its refusal is shown with its own message.
bool WriteDatabase(const CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                   const TargetCheck& checkTarget = {});

// Reads and decrypts the file; on Done `text` holds the decrypted plaintext.
int ReadDecrypted(const CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                  SecureString& text);

// Reads the file and inserts its entries (first of equal keys wins). Does not empty the collection first.
int ReadDatabase(CDataBase& database, const std::filesystem::path& path, const SecureString& password);

// Calls `record` for each whole record of the decrypted text, in file order. An incomplete rest is ignored.
// Returns the number of whole records.
std::size_t ParseRecords(const SecureString& text, const std::function<void(Entry&)>& record);

// Inserts every whole record of the decrypted text with a plain insertion.
std::size_t ParseEntries(CDataBase& database, const SecureString& text);

// The plaintext of the collection (fields in order, each followed by the terminator). Throws
// std::invalid_argument when a field holds the terminator.
SecureString BuildPlaintext(const CDataBase& database);
