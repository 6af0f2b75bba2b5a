#include <regex>

#include "EntryTestHelpers.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/TextExport.h"
#include "support/KillLoop.h"

namespace {
// An export killed at any moment leaves the previous export or the complete new one, and no part of the new one under
// any other name: the passwords it holds in clear never lie about half-written.
class ExportKillTest : public ImportExportTest
{
protected:
    using Export = std::function<bool(const CDataBase&, const std::filesystem::path&)>;

    // State k: k entries of growing size, and one that names the state, so that every state's export differs.
    void FillState(CDataBase& collection, int state)
    {
        const std::u16string k = ToU16(static_cast<unsigned>(state));
        collection.Add(MakeEntry(u"", u"kill-state-" + k + u"-end").Key(), {});
        for (int i = 0; i < state * 20; ++i) {
            const std::u16string n = ToU16(static_cast<unsigned>(i));
            const Entry entry = MakeEntry(u"Group " + n, u"Entry " + n, u"user " + k, u"password " + k + u"/" + n,
                                          u"https://" + k, u"saved in state " + k);
            collection.Add(entry.Key(), entry.Fields());
        }
    }

    bool Write(const Export& write, int state, const std::filesystem::path& path)
    {
        MessageRecorder quiet;
        CDataBase collection(quiet, texts);
        FillState(collection, state);
        return write(collection, path);
    }

    // The state named in the file, if the file is exactly that state's export.
    std::optional<int> StateOf(const Export& write, const std::filesystem::path& path)
    {
        const std::string bytes = ReadFileBytes(path);
        std::smatch found;
        static const std::regex Marker("kill-state-([0-9]+)-end");
        if (!std::regex_search(bytes, found, Marker)) {
            return std::nullopt;
        }
        const int state = std::stoi(found[1]);
        const std::filesystem::path expected = scratch / "expected";
        if (!Write(write, state, expected) || ReadFileBytes(expected) != bytes) {
            return std::nullopt;
        }
        return state;
    }

    TempDir scratch;
};

TEST_F(ExportKillTest, EveryKillLeavesThePreviousOrTheWholeExportAndNothingElse)
{
    const struct
    {
        const char* name;
        Export write;
    } writers[] = {
        {"CSV", [](const CDataBase& collection,
                   const std::filesystem::path& path) { return ExportCsv(collection, path, CsvExportOptions{}); }},
        {"text", [](const CDataBase& collection,
                    const std::filesystem::path& path) { return ExportTextListing(collection, path); }},
        {"HTML",
         [](const CDataBase& collection, const std::filesystem::path& path) { return ExportHtml(collection, path); }},
    };
    for (const auto& writer : writers) {
        SCOPED_TRACE(writer.name);
        const std::filesystem::path exports = folder / writer.name;
        std::filesystem::create_directory(exports);
        ExpectEveryKillLeavesOneSavedState(
            exports / "export.out", [&](int state) { return Write(writer.write, state, exports / "export.out"); },
            [&](const std::filesystem::path& path) { return StateOf(writer.write, path); });
    }
}
} // namespace
