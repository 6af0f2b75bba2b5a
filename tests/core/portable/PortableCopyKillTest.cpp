#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "core/portable/ExclusiveCopy.h"
#include "support/TempDir.h"

namespace {
// A portable installation killed at any moment of copying a file leaves no copy or the whole copy, and no part of
// it under any name: the database it copies must not lie about half-written on a removable drive.
TEST(PortableCopyKillTest, EveryKillLeavesNoCopyOrTheWholeCopyAndNothingElse)
{
    TempDir sources;
    TempDir drive;
    const std::filesystem::path source = sources / "lockmere.ldb";
    std::string content;
    for (int i = 0; content.size() < (3 << 20); ++i) {
        content += "record " + std::to_string(i) + " of the database being copied\n";
    }
    WriteFileBytes(source, content);
    const std::filesystem::path copy = drive / "lockmere.ldb";

    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> pause(0, 20000);
    int wholeCopies = 0;
    for (int kill = 0; kill < 200; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                if (!CopyFileExclusively(source, copy)) {
                    ::_exit(1);
                }
                ::unlink(copy.c_str());
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the copying process ended by itself at kill " << kill;
        for (const auto& entry : std::filesystem::directory_iterator(drive.Path())) {
            ASSERT_EQ(entry.path(), copy) << "kill " << kill << " left another file";
            ASSERT_EQ(ReadFileBytes(copy), content) << "kill " << kill << " left part of the copy";
            ++wholeCopies;
        }
        std::filesystem::remove(copy);
    }
    RecordProperty("whole_copies", wholeCopies);
}
} // namespace
