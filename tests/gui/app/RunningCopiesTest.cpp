#include <gmock/gmock.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "core/settings/Options.h"
#include "platform/SingleInstance.h"
#include "support/ChildProcess.h"
#include "support/LockHolder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
const std::string AlreadyRunningLine = "warning\tThe program is already running.\n";

// Whether the process holds a whole-file lock on the file, as /proc/locks tells.
bool HoldsLock(pid_t pid, const std::filesystem::path& file)
{
    struct stat status
    {};
    if (::stat(file.c_str(), &status) != 0) {
        return false;
    }
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, type, advisory, mode, device;
        pid_t holder = 0;
        fields >> number >> type >> advisory >> mode >> holder >> device;
        const std::string inode = device.substr(device.rfind(':') + 1);
        if (type == "FLOCK" && mode == "WRITE" && holder == pid && inode == std::to_string(status.st_ino)) {
            return true;
        }
    }
    return false;
}
} // namespace

// The real program, started more than once by the same user (its own runtime and settings folders per test).
class RunningCopies : public ::testing::Test
{
protected:
    RunningCopies()
    {
        std::filesystem::create_directories(appData);
        std::filesystem::create_directories(runtimeFolder);
        ::chmod(runtimeFolder.c_str(), 0700);
    }

    // The program with its messages logged instead of shown (tests/programs).
    static std::filesystem::path Program() { return std::filesystem::path(LOCKMERE_BIN_DIR) / "lockmere_logging"; }

    EnvironmentChanges Environment() const
    {
        return {{"XDG_RUNTIME_DIR", runtimeFolder.string()},
                {"APPDATA", appData.string()},
                {"LOCKMERE_TEST_MESSAGE_LOG", messageLog.string()},
                {"QT_QPA_PLATFORM", "offscreen"}};
    }

    // Starts a copy and waits until it holds the single-instance lock.
    std::unique_ptr<ChildProcess> StartFirstCopy(const std::filesystem::path& program = Program())
    {
        auto copy = std::make_unique<ChildProcess>(program, std::vector<std::string>{}, Environment());
        const bool locked = WaitUntil([&] { return HoldsLock(copy->Pid(), LockFile()) || !copy->IsRunning(); });
        EXPECT_TRUE(locked && copy->IsRunning()) << "the copy did not take the lock";
        return copy;
    }

    ProgramResult RunAnotherCopy(const std::filesystem::path& program = Program()) const
    {
        return RunProgram(program, {}, {}, Environment());
    }

    // Another process holds the lock but hears nobody, as a copy of an older version would.
    std::unique_ptr<LockHolder> HoldLockWithoutChannel() const
    {
        auto holder = std::make_unique<LockHolder>([this] {
            // In the holding child only, which keeps the lock until it is killed.
            ::setenv("XDG_RUNTIME_DIR", runtimeFolder.c_str(), 1);
            return (new SingleInstance("TaviloLockmereMutex"))->IsFirst();
        });
        EXPECT_TRUE(holder->Holds());
        return holder;
    }

    std::filesystem::path LockFile() const { return runtimeFolder / "TaviloLockmereMutex.lock"; }
    std::filesystem::path SettingsFile() const { return appData / "Tavilo" / "Lockmere.xml"; }
    std::string Messages() const { return ReadFileBytes(messageLog); }

    TempDir folder;
    std::filesystem::path runtimeFolder = folder / "run";
    std::filesystem::path appData = folder / "appdata";
    std::filesystem::path messageLog = folder / "messages.log";
};

TEST_F(RunningCopies, ASecondCopyHandsOverToTheRunningOneAndEndsWithoutAMessage)
{
    auto first = StartFirstCopy();
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(runtimeFolder / "TaviloLockmereMutex.socket"); }));
    const ProgramResult second = RunAnotherCopy();
    EXPECT_FALSE(second.timedOut);
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(Messages(), "");
    EXPECT_TRUE(first->IsRunning());
    EXPECT_TRUE(HoldsLock(first->Pid(), LockFile()));
}

TEST_F(RunningCopies, TheFileOfASecondStartIsOpenedByTheRunningCopy)
{
    auto first = StartFirstCopy();
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(runtimeFolder / "TaviloLockmereMutex.socket"); }));
    // A name relative to the second start's folder reaches the running copy as the whole path.
    const std::filesystem::path missing = folder / "missing.ldb";
    const ProgramResult second = RunProgram(
        "/bin/sh", {"-c", "cd \"$1\" && exec \"$2\" missing.ldb", "sh", folder.Path().string(), Program().string()}, {},
        Environment());
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_TRUE(WaitUntil([&] { return !Messages().empty(); }));
    EXPECT_EQ(Messages(),
              "error\tThe database file could not be opened: " + missing.string() + " (No such file or directory)\n");
    EXPECT_TRUE(first->IsRunning());
}

TEST_F(RunningCopies, ACopyThatCannotBeReachedIsStillNamedAsRunning)
{
    const auto holder = HoldLockWithoutChannel();
    const ProgramResult second = RunAnotherCopy();
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(Messages(), AlreadyRunningLine);
}

TEST_F(RunningCopies, HelpAndVersionArePrintedWithoutADisplay)
{
    for (const std::string option : {"--help", "--version"}) {
        EnvironmentChanges bare = Environment();
        bare["QT_QPA_PLATFORM"] = "xcb";
        bare["DISPLAY"] = "";
        const ProgramResult result =
            RunProgram(std::filesystem::path(LOCKMERE_BIN_DIR) / "lockmere", {option}, {}, bare);
        EXPECT_EQ(result.exitCode, 0) << option << result.err;
        EXPECT_TRUE(
            result.out.starts_with(option == "--help" ? "Usage: lockmere [-hide] [FILE]\n" : "lockmere (Lockmere) "))
            << result.out;
        EXPECT_EQ(Messages(), "");
    }
}

TEST_F(RunningCopies, TheSecondCopyLeavesTheSettingsFileAlone)
{
    COptions stored;
    stored.fTop = true;
    MessageRecorder messages;
    std::filesystem::create_directories(SettingsFile().parent_path());
    ASSERT_TRUE(stored.Save(messages, SettingsFile()));
    const std::string before = ReadFileBytes(SettingsFile());
    const auto modified = std::filesystem::last_write_time(SettingsFile());

    auto first = StartFirstCopy();
    ASSERT_EQ(RunAnotherCopy().exitCode, 0);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), before);
    EXPECT_EQ(std::filesystem::last_write_time(SettingsFile()), modified);
}

TEST_F(RunningCopies, ACopyKilledOutrightDoesNotBlockTheNextStart)
{
    auto first = StartFirstCopy();
    first->Kill(SIGKILL);
    ASSERT_NE(first->WaitForExit(std::chrono::seconds(30)), -1);

    auto next = StartFirstCopy();
    EXPECT_EQ(Messages(), "");
    // And it is now the copy that the others find running and hand over to.
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(runtimeFolder / "TaviloLockmereMutex.socket"); }));
    EXPECT_EQ(RunAnotherCopy().exitCode, 0);
    EXPECT_EQ(Messages(), "");
    EXPECT_TRUE(next->IsRunning());
}

TEST_F(RunningCopies, TheMessageIsInTheLanguageOfTheSettings)
{
    // A copy of the program in a folder of its own, with a language file beside it.
    const std::filesystem::path programFolder = folder / "program";
    std::filesystem::create_directories(programFolder);
    std::filesystem::copy_file(Program(), programFolder / "lockmere");
    WriteFileBytes(programFolder / "Test.lng", "[Language]\nlang_en=Testish\nlang_native=Testisch\n[Text]\n"
                                               "8=Das Programm läuft bereits.\n");
    COptions stored;
    stored.Language = u"Testish";
    MessageRecorder messages;
    std::filesystem::create_directories(SettingsFile().parent_path());
    ASSERT_TRUE(stored.Save(messages, SettingsFile()));

    // The message is shown where the running copy cannot be reached.
    const auto holder = HoldLockWithoutChannel();
    ASSERT_EQ(RunAnotherCopy(programFolder / "lockmere").exitCode, 0);
    EXPECT_EQ(Messages(), "warning\tDas Programm läuft bereits.\n");
}

TEST_F(RunningCopies, TheProgramWritesNoCoreFile)
{
    auto first = StartFirstCopy();
    std::ifstream limits("/proc/" + std::to_string(first->Pid()) + "/limits");
    std::string line;
    bool found = false;
    while (std::getline(limits, line)) {
        if (line.rfind("Max core file size", 0) == 0) {
            found = true;
            std::istringstream values(line.substr(std::string("Max core file size").size()));
            std::string soft, hard;
            values >> soft >> hard;
            EXPECT_EQ(soft, "0");
            EXPECT_EQ(hard, "0");
        }
    }
    EXPECT_TRUE(found);
}
