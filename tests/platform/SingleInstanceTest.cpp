#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "platform/SingleInstance.h"
#include "support/LockHolder.h"
#include "support/OwnRuntimeFolder.h"
#include "support/TempDir.h"

extern char** environ;

namespace {
const std::string LockName = "TaviloLockmereMutex";

// Runs `body` in a child process and returns its exit code; the child ends with _exit so no test state leaks.
template <class Body> int InChild(Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

// Each test gets its own runtime folder, so that tests and a running Lockmere never share a lock.
class SingleInstanceLock : public ::testing::Test
{
protected:
    OwnRuntimeFolder folder;
};

TEST_F(SingleInstanceLock, TheFirstCopyGetsTheLock)
{
    SingleInstance first(LockName);
    EXPECT_TRUE(first.IsFirst());
    EXPECT_EQ(SingleInstance::LockFilePath(LockName), folder.Path() / (LockName + ".lock"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / (LockName + ".lock")));
}

TEST_F(SingleInstanceLock, ASecondCopyIsToldThatOneRuns)
{
    SingleInstance first(LockName);
    SingleInstance second(LockName);
    EXPECT_TRUE(first.IsFirst());
    EXPECT_FALSE(second.IsFirst());
}

TEST_F(SingleInstanceLock, ACopyInAnotherProcessIsToldThatOneRuns)
{
    SingleInstance first(LockName);
    ASSERT_TRUE(first.IsFirst());
    EXPECT_EQ(InChild([] { return SingleInstance(LockName).IsFirst() ? 1 : 0; }), 0);
}

TEST_F(SingleInstanceLock, TheLockIsFreeAgainWhenTheFirstCopyEnds)
{
    std::optional<SingleInstance> first(std::in_place, LockName);
    ASSERT_TRUE(first->IsFirst());
    first.reset();
    EXPECT_TRUE(SingleInstance(LockName).IsFirst());
}

TEST_F(SingleInstanceLock, OtherNamesDoNotCollide)
{
    SingleInstance first(LockName);
    EXPECT_TRUE(SingleInstance("SomethingElse").IsFirst());
}

TEST_F(SingleInstanceLock, ACrashedCopyDoesNotBlockTheNextStart)
{
    LockHolder holder([] {
        static SingleInstance lock(LockName);
        return lock.IsFirst();
    });
    ASSERT_TRUE(holder.Holds());
    EXPECT_FALSE(SingleInstance(LockName).IsFirst());

    holder.Kill();
    EXPECT_TRUE(SingleInstance(LockName).IsFirst());
}

TEST_F(SingleInstanceLock, ProgramsStartedByTheFirstCopyDoNotKeepTheLock)
{
    // A browser or file manager that the program opens must not count as a running copy once the program ends.
    std::optional<SingleInstance> first(std::in_place, LockName);
    ASSERT_TRUE(first->IsFirst());
    pid_t child = 0;
    char sleepProgram[] = "/bin/sleep";
    char seconds[] = "30";
    char* arguments[] = {sleepProgram, seconds, nullptr};
    ASSERT_EQ(::posix_spawn(&child, sleepProgram, nullptr, nullptr, arguments, environ), 0);
    first.reset();
    EXPECT_TRUE(SingleInstance(LockName).IsFirst());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

TEST_F(SingleInstanceLock, AFolderThatCannotHoldTheLockDoesNotKeepTheUserOut)
{
    ::setenv("XDG_RUNTIME_DIR", (folder.Path() / "missing").c_str(), 1);
    SingleInstance first(LockName);
    EXPECT_TRUE(first.IsFirst());
}

TEST_F(SingleInstanceLock, AFolderOthersMayWriteIsNotUsed)
{
    // Another user could leave a locked file there and so keep this user's program from starting.
    ::chmod(folder.Path().c_str(), 0777);
    EXPECT_TRUE(SingleInstance::LockFilePath(LockName).empty());
    SingleInstance first(LockName);
    EXPECT_TRUE(first.IsFirst());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / (LockName + ".lock")));
}

TEST_F(SingleInstanceLock, AFolderOfAnotherUserIsNotUsed)
{
    if (::chown(folder.Path().c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)) != 0) {
        GTEST_SKIP() << "changing the owner of a folder needs privileges";
    }
    EXPECT_TRUE(SingleInstance::LockFilePath(LockName).empty());
    ASSERT_EQ(::chown(folder.Path().c_str(), ::geteuid(), static_cast<gid_t>(-1)), 0);
}

TEST_F(SingleInstanceLock, ALinkInPlaceOfTheLockFileIsNotFollowed)
{
    const std::filesystem::path target = folder.Path() / "target";
    std::filesystem::create_symlink(target, folder.Path() / (LockName + ".lock"));
    SingleInstance first(LockName);
    EXPECT_TRUE(first.IsFirst());
    EXPECT_FALSE(std::filesystem::exists(target));
}
