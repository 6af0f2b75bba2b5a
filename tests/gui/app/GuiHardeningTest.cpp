#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/ChildProcess.h"
#include "support/ProcessInspection.h"
#include "support/TempDir.h"

namespace {
const std::filesystem::path Gui = std::filesystem::path(LOCKMERE_BIN_DIR) / "lockmere";

// The desktop program holds decrypted entries and the master password while it runs: from its start no core file is
// written and no other process of the user may read its memory or attach to it.
class GuiHardening : public testing::Test
{
protected:
    GuiHardening()
    {
        std::filesystem::create_directories(runtimeFolder);
        std::filesystem::create_directories(appData);
        ::chmod(runtimeFolder.c_str(), 0700);
        // The program runs as nobody when the tests run as root, and needs its folders to be its own.
        if (::geteuid() == 0) {
            for (const std::filesystem::path& path : {folder.Path(), runtimeFolder, appData}) {
                EXPECT_EQ(::chown(path.c_str(), 65534, 65534), 0);
            }
        }
    }

    TempDir folder;
    std::filesystem::path runtimeFolder = folder / "runtime";
    std::filesystem::path appData = folder / "appdata";
};

TEST_F(GuiHardening, SoonAfterItStartsItIsNotDumpableAndWritesNoCoreFile)
{
    const UnprivilegedProcess gui(Gui, {},
                                  {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtimeFolder.string(),
                                   "APPDATA=" + appData.string(), "HOME=" + folder.Path().string()});
    ASSERT_TRUE(WaitUntil([&] { return Runs(gui.Pid(), Gui); }));

    const std::pair<std::string, std::string> noCoreFile("0", "0");
    EXPECT_TRUE(WaitUntil(
        [&] {
            return IsAlive(gui.Pid()) && IsDumpable(gui.Pid()) == std::optional<bool>(false) &&
                   CoreFileLimits(gui.Pid()) == noCoreFile;
        },
        std::chrono::seconds(10)))
        << "dumpable: " << IsDumpable(gui.Pid()).value_or(true);
}
} // namespace

namespace {
TEST(ShippedPrograms, HoldNoTestSwitch)
{
    // A test hook in the shipped program would let anyone who sets a variable silence its messages.
    for (const char* program : {"lockmere", "lockmere-cli"}) {
        const std::string binary = ReadFileBytes(std::filesystem::path(LOCKMERE_BIN_DIR) / program);
        EXPECT_EQ(binary.find("LOCKMERE_TEST"), std::string::npos) << program;
        EXPECT_EQ(binary.find("ForTesting"), std::string::npos) << program;
    }
}
} // namespace
