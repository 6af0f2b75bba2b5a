#include "core/database/Merge.h"

#include "core/database/DatabaseFile.h"

bool MergeDatabase(CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                   int* readResult)
{
    // Only a file that decrypts as a whole adds entries: a merge that fails leaves the collection as it was.
    RecordsRead read;
    const int result = ReadRecords(
        database, path, password, [&database](Entry& entry) { database.AddRenaming(entry.Key(), entry.Fields()); },
        read, RecordDelivery::AfterDecryption);
    if (readResult != nullptr) {
        *readResult = result;
    }
    return result == ReadResult::Done;
}
