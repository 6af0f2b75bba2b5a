#include "core/database/Merge.h"

#include <new>

#include "core/database/DatabaseFile.h"

namespace {
const std::u16string MergeMemoryMessage = u"Not enough memory to read the database file.";
const std::u16string MergeUnknownMessage = u"An unknown exception occurred when attempting to read the database.";
} // namespace

bool MergeDatabase(CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                   int* readResult)
{
    SecureString text;
    const int result = ReadDecrypted(database, path, password, text);
    if (readResult != nullptr) {
        *readResult = result;
    }
    if (result != ReadResult::Done) {
        return false;
    }
    try {
        ParseRecords(text, [&database](Entry& entry) { database.AddRenaming(entry.Key(), entry.Fields()); });
        return true;
    } catch (const std::bad_alloc&) {
        database.Reporter().ShowMessage(MergeMemoryMessage, MessageIcon::Error);
    } catch (...) {
        database.Reporter().ShowMessage(MergeUnknownMessage, MessageIcon::Error);
    }
    return false;
}
