#include <gmock/gmock.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

#include "CliRunner.h"

using ::testing::HasSubstr;
using ::testing::Not;

// lockmere-cli with a terminal as its standard input, as a person runs it.
class CliAtATerminal : public CliRunner
{
protected:
    void SetUp() override { Create(database, "typed secret"); }
    void TearDown() override
    {
        if (child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        if (terminal >= 0) {
            ::close(terminal);
        }
    }

    void Start(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> strings{Program().string()};
        strings.insert(strings.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& text : strings) {
            argv.push_back(text.data());
        }
        argv.push_back(nullptr);
        const std::string settings = "APPDATA=" + appData.string();
        child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::putenv(const_cast<char*>(settings.c_str()));
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }

    // Reads what the terminal shows until `expected` appears or the program ends.
    bool ReadUntil(const std::string& expected)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (screen.find(expected) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            pollfd poll{terminal, POLLIN, 0};
            if (::poll(&poll, 1, 100) <= 0) {
                continue;
            }
            char buffer[256];
            const ssize_t count = ::read(terminal, buffer, sizeof buffer);
            if (count <= 0) {
                return screen.find(expected) != std::string::npos;
            }
            screen.append(buffer, static_cast<std::size_t>(count));
        }
        return true;
    }

    void Type(const std::string& text) { ASSERT_EQ(::write(terminal, text.data(), text.size()), ssize_t(text.size())); }

    // The wait status; a program still running after a generous while is killed, so the test fails instead of hanging.
    int WaitForExit()
    {
        int status = 0;
        if (!WaitUntil([&] { return ::waitpid(child, &status, WNOHANG) == child; })) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
        }
        child = -1;
        return status;
    }

    pid_t child = -1;
    int terminal = -1;
    std::string screen;
};

TEST_F(CliAtATerminal, ThePasswordIsTypedWithoutEcho)
{
    Start({"ls", database.string()});
    ASSERT_TRUE(ReadUntil("Master password for " + database.string() + ": ")) << screen;
    Type("typed secret\n");
    const int status = WaitForExit();
    ReadUntil("\n\n");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << screen;
    EXPECT_THAT(screen, Not(HasSubstr("typed secret")));
}

TEST_F(CliAtATerminal, PasswdExplainsItsQuestions)
{
    Start({"passwd", database.string()});
    ASSERT_TRUE(ReadUntil("Specify the old master password.\r\nMaster password for " + database.string() + ": "))
        << screen;
    Type("typed secret\n");
    ASSERT_TRUE(ReadUntil("Specify the new master password.\r\nNew master password for " + database.string() + ": "))
        << screen;
    Type("new one\n");
    ASSERT_TRUE(ReadUntil("Repeat: ")) << screen;
    Type("new one\n");
    const int status = WaitForExit();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << screen;
    EXPECT_THAT(screen, Not(HasSubstr("new one")));
    // The file now opens with the new password (ReadEntries checks that).
    EXPECT_TRUE(ReadEntries(database, "new one").empty());
}

TEST_F(CliAtATerminal, InterruptingThePromptGivesTheEchoBack)
{
    Start({"ls", database.string()});
    ASSERT_TRUE(ReadUntil("Master password for " + database.string() + ": ")) << screen;
    // The terminal's settings are shared by both ends: wait until the program has switched echo off.
    struct termios settings
    {};
    ASSERT_TRUE(WaitUntil([&] { return ::tcgetattr(terminal, &settings) == 0 && (settings.c_lflag & ECHO) == 0; }));
    Type("\x03");
    const int status = WaitForExit();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    ASSERT_EQ(::tcgetattr(terminal, &settings), 0);
    EXPECT_NE(settings.c_lflag & ECHO, 0u);
}

TEST_F(CliAtATerminal, AddNamesEachPromptAndAsksAgainAfterAMismatch)
{
    Start({"add", database.string(), "Web", "Shop"});
    ASSERT_TRUE(ReadUntil("Master password for " + database.string() + ": ")) << screen;
    Type("typed secret\n");
    ASSERT_TRUE(ReadUntil("Password for the new entry: ")) << screen;
    Type("first try\n");
    ASSERT_TRUE(ReadUntil("Repeat: ")) << screen;
    Type("first trx\n");
    ASSERT_TRUE(
        ReadUntil("lockmere-cli: Error: Passwords do not match, please retype.\r\nPassword for the new entry: "))
        << screen;
    screen.clear();
    Type("second try\n");
    ASSERT_TRUE(ReadUntil("Repeat: ")) << screen;
    Type("second try\n");
    const int status = WaitForExit();
    ReadUntil("Added Web/Shop.");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << screen;
    for (const char* typed : {"typed secret", "first try", "first trx", "second try"}) {
        EXPECT_THAT(screen, Not(HasSubstr(typed)));
    }
    EXPECT_EQ(ReadEntries(database, "typed secret").at(0).password, u"second try");
}

TEST_F(CliAtATerminal, AnEmptyNewMasterPasswordIsConfirmed)
{
    for (const auto& [answer, created] : {std::pair{"n", false}, std::pair{"yes", true}}) {
        const std::filesystem::path fresh = folder / "fresh.ldb";
        Start({"create", fresh.string()});
        screen.clear();
        ASSERT_TRUE(ReadUntil("New master password for " + fresh.string() + ": ")) << screen;
        Type("\n");
        ASSERT_TRUE(ReadUntil("Repeat: ")) << screen;
        Type("\n");
        ASSERT_TRUE(ReadUntil("Use it anyway? [y/N] ")) << screen;
        Type(std::string(answer) + "\n");
        const int status = WaitForExit();
        ::close(terminal);
        terminal = -1;
        EXPECT_EQ(WIFEXITED(status) && WEXITSTATUS(status) == 0, created) << screen;
        EXPECT_EQ(std::filesystem::exists(fresh), created) << answer;
    }
}
