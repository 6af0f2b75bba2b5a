// The settings loader on arbitrary settings files: whatever it takes from a file must be saved and read back
// unchanged, and a file it cannot use shows at most one message.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "core/settings/Options.h"
#include "core/settings/XML.h"
#include "support/MessageRecorder.h"

namespace {
const std::filesystem::path& SettingsFile()
{
    static const std::filesystem::path file = [] {
        const std::filesystem::path folder = ScratchFolder() / "settings";
        std::filesystem::create_directories(folder);
        return folder / "Lockmere.xml";
    }();
    return file;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path& file = SettingsFile();
    WriteScratchFile(file, std::string_view(reinterpret_cast<const char*>(data), size));

    MessageRecorder reporter;
    COptions loaded;
    loaded.Load(reporter, file);
    FuzzCheck(reporter.messages.size() <= 1, "loading shows at most one message");

    // The document layer alone, as a save reads it before replacing the values.
    CXML document;
    document.LoadOrCreate(file);
    document.GetValue(u"Options/LastPath");
    document.GetValue(u"Options");
    document.SetValue(u"Language", u"German");

    if (!reporter.messages.empty()) {
        return 0;
    }
    FuzzCheck(loaded.Save(reporter, file), "settings that were loaded can be saved");
    COptions again;
    again.Load(reporter, file);
    COptions expected = loaded;
    if (!expected.fLastDB) {
        expected.LastPath.clear();
    }
    FuzzCheck(reporter.messages.empty(), "a saved settings file loads without a message");
    FuzzCheck(again == expected, "saved settings read back unchanged");
    return 0;
}
