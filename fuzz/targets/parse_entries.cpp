// The record parser on arbitrary decrypted text, whatever a damaged file or a wrong password may give.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "core/database/DatabaseFile.h"
#include "support/MessageRecorder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static BuiltinTextSource texts;
    const SecureString text = TextFromBytes(data, size);

    MessageRecorder reporter;
    CDataBase database(reporter, texts);
    const RecordsRead read = ParseEntries(database, text);
    const std::size_t records = read.records;
    FuzzCheck(database.Size() <= records, "no more entries than records");
    FuzzCheck(records * 6 * FieldTerminatorView.size() <= text.size(), "each record used six terminators");
    FuzzCheck(reporter.messages.empty(), "parsing shows no message");
    CheckCollectionRoundTrips(database);
    return 0;
}
