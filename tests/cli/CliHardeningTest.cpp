#include <gtest/gtest.h>
#include <unistd.h>

#include "support/ChildProcess.h"
#include "support/ProcessInspection.h"

namespace {
const std::filesystem::path Cli = std::filesystem::path(LOCKMERE_BIN_DIR) / "lockmere-cli";

// lockmere-cli holds decrypted entries and the master password while it runs: from its start no core file is written
// and no other process of the user may read its memory or attach to it.
class CliHardening : public testing::Test
{};

TEST_F(CliHardening, AnOrdinaryProgramStartedTheSameWayIsDumpable)
{
    // Shows that the way of looking tells the two apart on this machine.
    const UnprivilegedProcess cat("/bin/cat", {}, {});
    ASSERT_TRUE(WaitUntil([&] { return Runs(cat.Pid(), "/bin/cat"); }));
    EXPECT_EQ(IsDumpable(cat.Pid()), std::optional<bool>(true));
}

TEST_F(CliHardening, WhileItWaitsForThePasswordItIsNotDumpableAndWritesNoCoreFile)
{
    // A new file in a folder everyone may write to: the path passes its checks and the program waits for a password.
    const std::string newFile = "/tmp/lockmere-cli-hardening-" + std::to_string(::getpid()) + ".ldb";
    const UnprivilegedProcess cli(Cli, {"create", newFile}, {"APPDATA=/nonexistent"});
    ASSERT_TRUE(WaitUntil([&] { return Runs(cli.Pid(), Cli); }));

    // Loading the program takes a moment before main hardens the process; it must happen then, not later.
    const std::pair<std::string, std::string> noCoreFile("0", "0");
    EXPECT_TRUE(WaitUntil(
        [&] {
            return IsAlive(cli.Pid()) && IsDumpable(cli.Pid()) == std::optional<bool>(false) &&
                   CoreFileLimits(cli.Pid()) == noCoreFile;
        },
        std::chrono::seconds(10)))
        << "dumpable: " << IsDumpable(cli.Pid()).value_or(true)
        << ", core file limits: " << CoreFileLimits(cli.Pid()).value_or(std::pair<std::string, std::string>()).second;
}
} // namespace
