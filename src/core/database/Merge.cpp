#include "core/database/Merge.h"

#include "core/database/DatabaseFile.h"

bool MergeDatabase(CDataBase& database, const std::filesystem::path& path, const SecureString& password,
                   int* readResult)
{
    // The records are added only once the whole file has decrypted, so a damaged file adds none of them.
    RecordsRead read;
    const int result = ReadRecords(
        database, path, password, [&database](Entry& entry) { database.AddRenaming(entry.Key(), entry.Fields()); },
        read, RecordDelivery::AfterDecryption);
    if (readResult != nullptr) {
        *readResult = result;
    }
    return result == ReadResult::Done;
}
