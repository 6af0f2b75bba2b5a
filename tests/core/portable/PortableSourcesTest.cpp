#include "core/portable/PortableSources.h"

#include <gmock/gmock.h>

#include "core/portable/ExclusiveCopy.h"
#include "support/TempDir.h"

using ::testing::ElementsAre;

namespace {
// An installation as the package lays it out: the portable edition in lib, linked from share/lockmere.
TEST(PortableSourcesTest, AnInstalledProgramCarriesTheFilesOfItsSharedFolder)
{
    TempDir prefix;
    const std::filesystem::path shared = prefix / "share" / "lockmere";
    for (const std::filesystem::path& folder : {prefix / "bin", shared, prefix / "lib" / "lockmere"}) {
        std::filesystem::create_directories(folder);
    }
    WriteFileBytes(prefix / "lib" / "lockmere" / "pv.dat", "portable edition");
    std::filesystem::create_symlink("../../lib/lockmere/pv.dat", shared / "pv.dat");
    WriteFileBytes(shared / "Readme.txt", "readme");
    WriteFileBytes(shared / "German.lng", "[Language]\nlang_en=German\n");

    const PortableSources sources = FindPortableSources(prefix / "bin");
    EXPECT_EQ(sources.portableProgram, shared / "pv.dat");
    EXPECT_THAT(sources.textFiles, ElementsAre(shared / "Readme.txt"));
    EXPECT_THAT(sources.languageFiles, ElementsAre(shared / "German.lng"));

    ASSERT_TRUE(CopyFileExclusively(sources.portableProgram, prefix / "Lockmere.exe"));
    EXPECT_FALSE(std::filesystem::is_symlink(prefix / "Lockmere.exe"));
    EXPECT_EQ(ReadFileBytes(prefix / "Lockmere.exe"), "portable edition");
}
} // namespace
