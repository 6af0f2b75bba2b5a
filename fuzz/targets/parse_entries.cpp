// The record parser on arbitrary decrypted text, whatever a damaged file or a wrong password may give, also as the
// text arrives piece by piece while a file decrypts.
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

    // The first byte chooses the size of the pieces the text arrives in.
    const std::size_t piece = size > 0 ? data[0] % 16 + 1 : 1;
    std::size_t arrived = 0;
    RecordReader reader([&](Entry&) { ++arrived; });
    const std::u16string_view view(text.data(), text.size());
    for (std::size_t known = piece; known < view.size(); known += piece) {
        reader.Read(view.substr(0, known));
    }
    const RecordsRead inPieces = reader.Finish(view);
    FuzzCheck(inPieces.records == read.records && inPieces.damaged == read.damaged && arrived == records,
              "the text read in pieces gives the records of the whole text");
    return 0;
}
