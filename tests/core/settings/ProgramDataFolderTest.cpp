#include "core/settings/ProgramDataFolder.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace {
TEST(ProgramDataFolderTest, BesideTheProgramFirstThenTheSharedFolderOfThePrefix)
{
    struct Case
    {
        const char* name;
        bool languageFileBeside;
        bool sharedFolder;
        bool expectShared;
    };
    const Case cases[] = {
        {"build folder or portable copy", true, false, false},
        {"language files beside win over an installation", true, true, false},
        {"installed under a prefix", false, true, true},
        {"nothing anywhere keeps the program folder", false, false, false},
    };
    for (const Case& item : cases) {
        TempDir prefix;
        const std::filesystem::path bin = prefix / "bin";
        const std::filesystem::path shared = prefix / "share" / "lockmere";
        std::filesystem::create_directories(bin);
        if (item.languageFileBeside) {
            WriteFileBytes(bin / "German.LNG", "[Language]\nlang_en=German\n");
        }
        if (item.sharedFolder) {
            std::filesystem::create_directories(shared);
        }
        EXPECT_EQ(ProgramDataFolder(bin), item.expectShared ? shared : bin) << item.name;
    }
}
} // namespace
