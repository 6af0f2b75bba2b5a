#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/ProcessHardening.h"
#include "platform/ProgramPath.h"
#include "support/ChildProcess.h"

// The hardening is tried in a child, so that the test program itself keeps its core files for debugging.
class ProcessHardening : public ::testing::Test
{
protected:
    static int InChild(int (*body)())
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::_exit(body());
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(ProcessHardening, TheProcessIsNoLongerDumpable)
{
    EXPECT_EQ(InChild([] { return HardenProcess() && ::prctl(PR_GET_DUMPABLE) == 0 ? 0 : 1; }), 0);
}

TEST_F(ProcessHardening, NoCoreFileIsWrittenAndTheLimitCannotBeRaisedAgain)
{
    EXPECT_EQ(InChild([] {
                  HardenProcess();
                  struct rlimit limit
                  {};
                  ::getrlimit(RLIMIT_CORE, &limit);
                  if (limit.rlim_cur != 0 || limit.rlim_max != 0) {
                      return 1;
                  }
                  // Dropping privileges first, where there are any, shows that an ordinary process cannot undo it.
                  if (::geteuid() == 0 && ::setuid(65534) != 0) {
                      return 2;
                  }
                  const struct rlimit raised
                  {
                      RLIM_INFINITY, RLIM_INFINITY
                  };
                  return ::setrlimit(RLIMIT_CORE, &raised) != 0 ? 0 : 3;
              }),
              0);
}

TEST_F(ProcessHardening, TheProgramPathStaysReadable)
{
    EXPECT_EQ(InChild([] {
                  HardenProcess();
                  return ProgramPath().filename() == "lockmere_platform_tests" ? 0 : 1;
              }),
              0);
}

class ProgramPathOfTheProcess : public ::testing::Test
{};

TEST_F(ProgramPathOfTheProcess, IsTheFullPathOfTheRunningExecutable)
{
    const std::filesystem::path path = ProgramPath();
    EXPECT_TRUE(path.is_absolute());
    EXPECT_EQ(path, std::filesystem::canonical(std::filesystem::path(LOCKMERE_BIN_DIR) / "lockmere_platform_tests"));
}

// The portable copy's launcher starts the program file through the loader where the drive keeps no execute bits; the
// test above, run that way, must still find this program and not the loader.
TEST_F(ProgramPathOfTheProcess, IsTheProgramAlsoWhenTheDynamicLoaderStartedIt)
{
    const std::filesystem::path self = std::filesystem::path(LOCKMERE_BIN_DIR) / "lockmere_platform_tests";
    for (const std::filesystem::path& given : {self, std::filesystem::relative(self)}) {
        const ProgramResult result =
            RunProgram("/lib64/ld-linux-x86-64.so.2",
                       {given.string(), "--gtest_filter=ProgramPathOfTheProcess.IsTheFullPathOfTheRunningExecutable"});
        EXPECT_EQ(result.exitCode, 0) << given << "\n" << result.out;
        EXPECT_NE(result.out.find("[  PASSED  ] 1 test"), std::string::npos) << result.out;
    }
}
