#include <gtest/gtest.h>

#include "core/common/Utf.h"
#include "core/settings/Options.h"
#include "core/settings/XML.h"
#include "support/KillLoop.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
// A process killed at any moment of saving the settings leaves a well-formed settings file holding either the
// settings before the save or those after it.
class OptionsKillTest : public testing::Test
{
protected:
    // State k: numbers from k, and a path whose length grows with k, so that files of two states always differ.
    static COptions State(int state)
    {
        COptions options;
        options.uClearClipboardTime = state;
        options.iPassGenLength = state + 1;
        options.fTop = state % 2 == 1;
        options.LastPath = u"/home/ann/" +
                           std::u16string(static_cast<std::size_t>(state % 997) * 3, u'a' + state % 26) + u"/" +
                           ToU16(static_cast<unsigned>(state)) + u".ldb";
        return options;
    }

    bool Save(int state) { return State(state).Save(recorder, file); }

    // Reads the file as the settings loader does and tells the state its values belong to.
    std::optional<int> StateOf(const std::filesystem::path& file)
    {
        CXML document;
        if (!document.LoadFile(file)) {
            return std::nullopt;
        }
        const auto time = document.GetValue(u"Options/uClearClipboardTime");
        const auto length = document.GetValue(u"Options/iPassGenLength");
        const auto top = document.GetValue(u"Options/fTop");
        const auto path = document.GetValue(u"Options/LastPath");
        if (!time || !length || !top || !path) {
            return std::nullopt;
        }
        const int state = std::stoi(Utf16ToUtf8(*time));
        const COptions expected = State(state);
        if (*length != ToU16(static_cast<unsigned>(expected.iPassGenLength)) || *top != (expected.fTop ? u"1" : u"0") ||
            *path != expected.LastPath) {
            return std::nullopt;
        }
        return state;
    }

    TempDir folder;
    std::filesystem::path file = folder / "Lockmere.xml";
    MessageRecorder recorder;
};

TEST_F(OptionsKillTest, EveryKillLeavesExactlyOneSavedState)
{
    ExpectEveryKillLeavesOneSavedState(
        file, [this](int state) { return Save(state); },
        [this](const std::filesystem::path& path) { return StateOf(path); });
}
} // namespace
