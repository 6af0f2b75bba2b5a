// The import of other programs' CSV exports on arbitrary files: the first byte chooses the preset (one of the named
// ones or "auto"), the rest is the file. The standard CSV reader beneath it must also read back what it read, once
// every value is written quoted.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "core/common/Utf.h"
#include "core/importexport/OtherExport.h"
#include "core/importexport/StandardCsv.h"
#include "support/MessageRecorder.h"

namespace {
constexpr std::string_view PresetNames[] = {"auto",      "keepassxc", "chrome", "firefox",  "bitwarden",
                                            "1password", "lastpass",  "apple",  "dashlane", "protonpass"};

using Records = std::vector<std::vector<SecureString>>;

Records ReadRecords(std::string_view text)
{
    Records records;
    ReadStandardCsv(text, [&](std::span<SecureString> fields) { records.emplace_back(fields.begin(), fields.end()); });
    return records;
}

std::string QuotedAgain(const Records& records)
{
    std::string text;
    for (const std::vector<SecureString>& fields : records) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            text += i == 0 ? "\"" : ",\"";
            for (const char character : SecureToUtf8(fields[i])) {
                text += character == '"' ? std::string("\"\"") : std::string(1, character);
            }
            text += '"';
        }
        text += "\r\n";
    }
    return text;
}

void CheckStandardReaderRereads(std::string_view bytes)
{
    // Ill-formed bytes too: each becomes U+FFFD, which is written back well-formed and read as itself.
    try {
        const Records records = ReadRecords(bytes);
        FuzzCheck(ReadRecords(QuotedAgain(records)) == records, "quoted records read back unchanged");
    } catch (const StandardCsvBrokenQuote& broken) {
        FuzzCheck(broken.line >= 1, "a broken quote names a line");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static BuiltinTextSource texts;
    if (size < 1) {
        return 0;
    }
    const std::string_view preset = PresetNames[data[0] % std::size(PresetNames)];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    CheckStandardReaderRereads(bytes);

    MessageRecorder reporter;
    CDataBase database(reporter, texts);
    database.Add({ToSecure(u"Browser"), ToSecure(u"example.com")}, {});
    std::optional<OtherExport> read = ReadOtherExport(database, bytes, preset);
    if (!read) {
        FuzzCheck(reporter.messages.size() == 1, "a refused file shows exactly one message");
        FuzzCheck(database.Size() == 1, "a refused file adds nothing");
        return 0;
    }
    FuzzCheck(reporter.messages.empty(), "a read file shows no message");
    const std::size_t entries = read->entries.size();
    const IdenticalEntries identical =
        (data[0] / std::size(PresetNames)) % 2 == 0 ? IdenticalEntries::Add : IdenticalEntries::Skip;
    const ImportCounts counts = AddOtherExport(database, std::move(*read), identical);
    FuzzCheck(counts.added + counts.renamed + counts.skipped == entries, "every entry read is counted once");
    FuzzCheck(identical == IdenticalEntries::Skip || counts.skipped == 0, "only a skipping import skips");
    FuzzCheck(database.Size() == 1 + counts.added + counts.renamed, "every entry counted as added lands");
    CheckCollectionRoundTrips(database);
    return 0;
}
