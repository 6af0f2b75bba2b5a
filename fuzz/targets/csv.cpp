// The CSV reader on arbitrary files, with every combination of its options drawn from the input: the first byte
// chooses the header flag and whether the bytes come from a file or from memory, the next six the field numbers
// (NotMapped, 0, 1 to 8). The rest is the file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "core/importexport/CsvFormat.h"
#include "support/MessageRecorder.h"

namespace {
constexpr std::size_t OptionBytes = 7;

CsvImportOptions OptionsFrom(const std::uint8_t* data)
{
    CsvImportOptions options;
    options.header = (data[0] & 1) != 0;
    for (std::size_t field = 0; field < options.fieldNumbers.size(); ++field) {
        const int number = data[1 + field] % 10 - 1;
        options.fieldNumbers[field] = number < 0 ? CsvImportOptions::NotMapped : number;
    }
    return options;
}

// What an import added must come back unchanged through the CSV export and a second import.
void CheckExportRoundTrips(const CDataBase& database, const ITextSource& texts)
{
    const SecureBytes exported = CsvFileBytes(database, CsvExportOptions{});
    MessageRecorder reporter;
    CDataBase again(reporter, texts);
    CsvImportOptions options;
    options.header = true;
    FuzzCheck(ImportCsvBytes(again, {reinterpret_cast<const char*>(exported.data()), exported.size()}, options),
              "an exported file imports");
    FuzzCheck(std::equal(database.begin(), database.end(), again.begin(), again.end()),
              "entries come back unchanged through export and import");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path file = ScratchFolder() / "fuzz.csv";
    static BuiltinTextSource texts;
    if (size < OptionBytes) {
        return 0;
    }
    const CsvImportOptions options = OptionsFrom(data);
    const std::string_view bytes(reinterpret_cast<const char*>(data + OptionBytes), size - OptionBytes);

    MessageRecorder reporter;
    CDataBase database(reporter, texts);
    database.Add({ToSecure(u"Existing"), ToSecure(u"Entry")}, {});
    bool imported = false;
    if ((data[0] & 2) != 0) {
        WriteScratchFile(file, bytes);
        imported = ImportCsv(database, file, options);
    } else {
        imported = ImportCsvBytes(database, bytes, options);
    }
    if (!imported) {
        FuzzCheck(reporter.messages.size() == 1, "a refused file shows exactly one message");
        FuzzCheck(database.Size() == 1, "a refused file adds nothing");
        return 0;
    }
    FuzzCheck(reporter.messages.empty(), "an imported file shows no message");
    CheckCollectionRoundTrips(database);
    CheckExportRoundTrips(database, texts);
    return 0;
}
