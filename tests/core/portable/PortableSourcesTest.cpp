#include "core/portable/PortableSources.h"

#include <gmock/gmock.h>

#include "support/TempDir.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {
// A portable copy as `make portable` lays it out, with the user's own files beside it as on a stick.
void MakePortableCopy(const std::filesystem::path& folder)
{
    for (const std::filesystem::path& sub :
         {folder / "lib", folder / "plugins" / "platforms", folder / "translations"}) {
        std::filesystem::create_directories(sub);
    }
    for (const std::filesystem::path& file :
         {folder / "Lockmere.exe", folder / "Lockmere", folder / "lib" / "libQt6Core.so.6",
          folder / "plugins" / "platforms" / "libqxcb.so", folder / "translations" / "qtbase_de.qm",
          folder / "Readme.txt", folder / "German.lng", folder / "Lockmere.xml", folder / "my.ldb"}) {
        WriteFileBytes(file, file.filename().string());
    }
}

TEST(PortableSourcesTest, TheCopyIsFoundBesideTheProgramInAnInstallationOrInTheBuildFolder)
{
    struct Case
    {
        const char* name;
        std::vector<std::filesystem::path> copies; // relative to the prefix, the program being in "bin"
        std::filesystem::path found;
    };
    const std::filesystem::path installed = std::filesystem::path("lib") / "lockmere" / "portable";
    const std::filesystem::path built = std::filesystem::path("portable") / "Lockmere";
    for (const Case& c : {Case{"a running portable copy carries itself", {"bin", installed, built}, "bin"},
                          Case{"an installation", {installed}, installed},
                          Case{"an installation in a build folder's place", {installed, built}, installed},
                          Case{"a build folder", {built}, built}, Case{"none: the installation's", {}, installed}}) {
        SCOPED_TRACE(c.name);
        TempDir prefix;
        std::filesystem::create_directories(prefix / "bin");
        for (const std::filesystem::path& copy : c.copies) {
            MakePortableCopy(prefix / copy);
        }
        EXPECT_EQ(FindPortableSources(prefix / "bin").folder, prefix / c.found);
    }
}

TEST(PortableSourcesTest, CarriesTheProgramsFilesTextsAndLanguagesButNotTheUsersOwn)
{
    TempDir folder;
    MakePortableCopy(folder.Path());
    // A link in the copy would carry a file from anywhere; a copy the build made holds none.
    std::filesystem::create_symlink(folder / "my.ldb", folder / "lib" / "libdatabase.so");
    std::filesystem::create_directory_symlink("/usr/lib", folder / "plugins" / "system");

    const PortableSources sources = FindPortableSources(folder.Path());
    EXPECT_EQ(sources.folder, folder.Path());
    EXPECT_EQ(sources.programFile, "Lockmere.exe");
    EXPECT_THAT(sources.runtimeFiles, ElementsAre("Lockmere", "lib/libQt6Core.so.6", "plugins/platforms/libqxcb.so",
                                                  "translations/qtbase_de.qm"));
    EXPECT_THAT(sources.textFiles, ElementsAre("Readme.txt"));
    EXPECT_THAT(sources.languageFiles, ElementsAre("German.lng"));
}

TEST(PortableSourcesTest, AFolderWithoutACopyCarriesOnlyWhatItFinds)
{
    TempDir prefix;
    std::filesystem::create_directories(prefix / "bin");
    const PortableSources sources = FindPortableSources(prefix / "bin");
    EXPECT_EQ(sources.programFile, "Lockmere.exe");
    EXPECT_THAT(sources.runtimeFiles, ElementsAre("Lockmere"));
    EXPECT_THAT(sources.textFiles, IsEmpty());
    EXPECT_THAT(sources.languageFiles, IsEmpty());
}
} // namespace
