#include <gmock/gmock.h>

#include <atomic>

#include "core/common/Utf.h"
#include "core/portable/ExclusiveCopy.h"
#include "core/portable/PortableInstaller.h"
#include "core/settings/XML.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {
const std::u16string InstallFailed = u"An error occurred during installation.";
const std::u16string NotEnoughSpace = u"Not enough disk space.";

// A portable copy (the program file, its launcher, a library and a plugin; 1500 bytes in all), two texts and a
// language file beside it, a database and a target folder.
class PortableInstallerTest : public ::testing::Test
{
protected:
    PortableInstallerTest()
    {
        for (const std::filesystem::path& name : {program / "lib", program / "plugins" / "platforms", target}) {
            std::filesystem::create_directories(name);
        }
        WriteFileBytes(program / "Lockmere.exe", std::string(750, 'p'));
        WriteFileBytes(program / "Lockmere", std::string(150, 'l'));
        WriteFileBytes(program / "lib" / "libfake.so.1", std::string(300, 'f'));
        WriteFileBytes(program / "plugins" / "platforms" / "libqfake.so", std::string(300, 'q'));
        WriteFileBytes(program / "Readme.txt", "readme");
        WriteFileBytes(program / "Licence.txt", "licence");
        WriteFileBytes(program / "German.lng", "[Language]\nlang_en=German\n");
        WriteFileBytes(folder / "settings.xml", std::string(100, 's'));
        WriteFileBytes(folder / "my.ldb", std::string(50, 'd'));
        settings.fAutoRun = settings.fAutoRunHide = settings.fLastDB = true;
        settings.LastPath = Utf8ToUtf16((folder / "my.ldb").string());
        settings.Language = u"German";
        settings.uLockDBAutoTime = 123;
    }

    // Installs with `free` bytes free on the target; records the progress and the messages.
    bool Install(const PortableRequest& request, std::uint64_t free = 1 << 30,
                 PortableInstaller::FileCopier copier = CopyFileExclusively)
    {
        PortableInstaller installer(request, settings, texts,
                                    {FindPortableSources(program), folder / "settings.xml",
                                     [free](const std::filesystem::path&) { return free; }, std::move(copier)});
        progress.clear();
        messages.Reset();
        return installer.Run(messages, stop, [this](int percent) { progress.push_back(percent); });
    }

    PortableRequest Request(bool subfolder, bool copyDatabase = true) const
    {
        return {Utf8ToUtf16(target.string()), subfolder, true, copyDatabase};
    }

    std::size_t FilesIn(const std::filesystem::path& where) const
    {
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(where)) {
            count += entry.is_regular_file() ? 1 : 0;
        }
        return count;
    }

    TempDir folder;
    std::filesystem::path program = folder / "program";
    std::filesystem::path target = folder / "target";
    COptions settings;
    BuiltinTextSource texts;
    MessageRecorder messages;
    std::atomic<bool> stop{false};
    std::vector<int> progress;
};

TEST_F(PortableInstallerTest, InstallsEveryFileWithProgressAndNeverOverwritesOnASecondInstallation)
{
    struct Case
    {
        bool subfolder;
        std::filesystem::path installedTo;
    };
    for (const Case& c : {Case{true, target / "Lockmere"}, Case{false, target}}) {
        SCOPED_TRACE(c.subfolder);
        std::filesystem::remove_all(target);
        std::filesystem::create_directory(target);
        stop = false;

        ASSERT_TRUE(Install(Request(c.subfolder)));
        // The program's files move the bar by their share of its 1500 bytes: 150, 450, 750.
        EXPECT_THAT(progress, ElementsAre(2, 6, 10, 20, 40, 60, 80, 100));
        EXPECT_EQ(ReadFileBytes(c.installedTo / "Lockmere.exe"), std::string(750, 'p'));
        EXPECT_EQ(ReadFileBytes(c.installedTo / "Lockmere"), std::string(150, 'l'));
        EXPECT_EQ(ReadFileBytes(c.installedTo / "lib" / "libfake.so.1"), std::string(300, 'f'));
        EXPECT_EQ(ReadFileBytes(c.installedTo / "plugins" / "platforms" / "libqfake.so"), std::string(300, 'q'));
        EXPECT_EQ(ReadFileBytes(c.installedTo / "Readme.txt"), "readme");
        EXPECT_EQ(ReadFileBytes(c.installedTo / "Licence.txt"), "licence");
        EXPECT_TRUE(std::filesystem::exists(c.installedTo / "German.lng"));
        EXPECT_EQ(ReadFileBytes(c.installedTo / "my.ldb"), std::string(50, 'd'));
        EXPECT_TRUE(std::filesystem::exists(c.installedTo / "Lockmere.xml"));
        EXPECT_TRUE(stop);
        const std::size_t installed = FilesIn(target);
        EXPECT_EQ(installed, 9u);

        // The second time the subfolder exists, or else Lockmere.exe does: nothing is copied or replaced.
        WriteFileBytes(c.installedTo / "Readme.txt", "changed");
        stop = false;
        EXPECT_FALSE(Install(Request(c.subfolder)));
        EXPECT_THAT(messages.Texts(), ElementsAre(InstallFailed));
        EXPECT_THAT(progress, IsEmpty());
        EXPECT_EQ(FilesIn(target), installed);
        EXPECT_EQ(ReadFileBytes(c.installedTo / "Readme.txt"), "changed");
        EXPECT_TRUE(stop);
    }
}

TEST_F(PortableInstallerTest, FreeSpaceMustExceedTheTotalOfWhatIsCopied)
{
    // The portable copy, the two texts, the language file, the settings file and the database.
    const std::uint64_t total = 1500 + 6 + 7 + 26 + 100 + 50;
    struct Case
    {
        std::uint64_t free;
        bool installs;
    };
    for (const Case& c : {Case{total, false}, Case{total - 1, false}, Case{0, false}, Case{total + 1, true}}) {
        SCOPED_TRACE(c.free);
        std::filesystem::remove_all(target / "Lockmere");
        stop = false;
        EXPECT_EQ(Install(Request(true), c.free), c.installs);
        EXPECT_EQ(std::filesystem::exists(target / "Lockmere"), c.installs);
        if (!c.installs) {
            EXPECT_THAT(messages.Texts(), ElementsAre(NotEnoughSpace));
        }
    }
}

TEST_F(PortableInstallerTest, SettingsCopyDoesNotStartOrReopenAnythingAndKeepsTheRest)
{
    ASSERT_TRUE(Install(Request(false)));
    CXML copy;
    ASSERT_TRUE(copy.LoadFile(target / "Lockmere.xml"));
    EXPECT_EQ(copy.GetValue(u"Options/fAutoRun"), u"0");
    EXPECT_EQ(copy.GetValue(u"Options/fAutoRunHide"), u"0");
    EXPECT_EQ(copy.GetValue(u"Options/fLastDB"), u"0");
    EXPECT_EQ(copy.GetValue(u"Options/LastPath"), u"");
    EXPECT_EQ(copy.GetValue(u"Options/Language"), u"German");
    EXPECT_EQ(copy.GetValue(u"Options/uLockDBAutoTime"), u"123");
    // The running program's own settings are untouched.
    EXPECT_TRUE(settings.fAutoRun && settings.fLastDB && !settings.LastPath.empty());
}

TEST_F(PortableInstallerTest, SuccessMessageNamesTheFolderWithOneSlashBeforeTheSubfolder)
{
    const std::string base = target.string();
    struct Case
    {
        std::string typed;
        bool subfolder;
        std::string shown;
    };
    for (const Case& c :
         {Case{base + "/", true, base + "/Lockmere"}, Case{base, true, base + "/Lockmere"}, Case{base, false, base}}) {
        SCOPED_TRACE(c.typed);
        std::filesystem::remove_all(target);
        std::filesystem::create_directory(target);
        stop = false;
        ASSERT_TRUE(Install({Utf8ToUtf16(c.typed), c.subfolder, false, false}));
        EXPECT_THAT(messages.Texts(),
                    ElementsAre(u"Lockmere was successfully installed to " + Utf8ToUtf16(c.shown) +
                                u". To work with the program from the selected location, start the Lockmere file in "
                                u"the program's folder there (on a drive that does not run programs: sh Lockmere)."));
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Information);
    }
}

TEST_F(PortableInstallerTest, StopEndsAtTheNextStepBoundaryWithoutAMessage)
{
    struct Case
    {
        std::string stopWhileCopying; // the file name whose copy presses Cancel; empty: during the space check
        std::vector<int> progress;
        std::size_t filesCopied;
    };
    // The program's files stop at the next file, a group of texts or languages at its end.
    for (const Case& c : {Case{"", {}, 0}, Case{"libfake.so.1", {2, 6}, 2}, Case{"Lockmere.exe", {2, 6, 10, 20}, 4},
                          Case{"Licence.txt", {2, 6, 10, 20, 40}, 6}, Case{"German.lng", {2, 6, 10, 20, 40, 60}, 7}}) {
        SCOPED_TRACE(c.stopWhileCopying);
        std::filesystem::remove_all(target);
        std::filesystem::create_directory(target);
        stop = false;
        const auto copier = [&](const std::filesystem::path& from, const std::filesystem::path& to) {
            const bool copied = CopyFileExclusively(from, to);
            if (to.filename() == c.stopWhileCopying) {
                stop = true;
            }
            return copied;
        };
        PortableInstaller installer(Request(false), settings, texts,
                                    {FindPortableSources(program), folder / "settings.xml",
                                     [&](const std::filesystem::path&) {
                                         stop = stop || c.stopWhileCopying.empty();
                                         return std::uint64_t{1} << 30;
                                     },
                                     copier});
        progress.clear();
        EXPECT_FALSE(installer.Run(messages, stop, [this](int percent) { progress.push_back(percent); }));
        EXPECT_THAT(messages.Texts(), IsEmpty());
        EXPECT_EQ(progress, c.progress);
        // A group of text files already begun is finished.
        EXPECT_EQ(FilesIn(target), c.filesCopied);
    }
}

TEST_F(PortableInstallerTest, AProgramFileThatCannotBeCopiedStopsWithTheErrorAndNoProgramToStart)
{
    struct Case
    {
        std::string failing;            // the file name whose copy fails
        std::filesystem::path inTheWay; // a file made beforehand in the destination where a folder must go
    };
    for (const Case& c : {Case{"libqfake.so", {}}, Case{"", "lib"}, Case{"Lockmere", {}}}) {
        SCOPED_TRACE(c.failing + c.inTheWay.string());
        std::filesystem::remove_all(target);
        std::filesystem::create_directory(target);
        if (!c.inTheWay.empty()) {
            WriteFileBytes(target / c.inTheWay, "mine");
        }
        stop = false;
        const auto copier = [&](const std::filesystem::path& from, const std::filesystem::path& to) {
            return to.filename() != c.failing && CopyFileExclusively(from, to);
        };
        EXPECT_FALSE(Install(Request(false), 1 << 30, copier));
        EXPECT_THAT(messages.Texts(), ElementsAre(InstallFailed));
        EXPECT_FALSE(std::filesystem::exists(target / "Lockmere.exe"));
        EXPECT_FALSE(std::filesystem::exists(target / "Readme.txt"));
        EXPECT_TRUE(stop);
    }
}
} // namespace
