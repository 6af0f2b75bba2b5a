#include <gmock/gmock.h>

#include <signal.h>
#include <sys/wait.h>

#include <cstring>

#include "CliRunner.h"
#include "core/settings/Options.h"
#include "support/ChildProcess.h"
#include "support/MessageRecorder.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {
const std::string Master = "master";
} // namespace

class CliNewCommands : public CliRunner
{
protected:
    void SetUp() override
    {
        Create(database, Master);
        Add({"Web", "Bank", "--username", "Ann", "--notes", "Kontonummer 1"}, "tab\there");
        Add({"Почта", "Ящик", "--url", "https://mail.example"}, "pw");
    }
    void Add(std::vector<std::string> arguments, const std::string& password)
    {
        arguments.insert(arguments.begin(), {"add", "-q", database.string()});
        ASSERT_EQ(Run(arguments, Master + "\n" + password + "\n" + password + "\n").exitCode, 0);
    }
    ProgramResult RunOn(const std::string& command, std::vector<std::string> arguments,
                        const std::string& input = Master + "\n") const
    {
        arguments.insert(arguments.begin(), {command, database.string()});
        return Run(arguments, input);
    }
};

TEST_F(CliNewCommands, ShowHidesThePasswordUnlessAskedAndWritesOneFieldRaw)
{
    const struct
    {
        std::vector<std::string> options;
        std::string out;
    } cases[] = {
        {{}, "Group: Web\nTitle: Bank\nUsername: Ann\nPassword: PROTECTED\nURL/Path: \nNotes: Kontonummer 1\n"},
        {{"-s"}, "Group: Web\nTitle: Bank\nUsername: Ann\nPassword: tab\\there\nURL/Path: \nNotes: Kontonummer 1\n"},
        {{"--field", "password"}, "tab\there\n"},
        {{"--field", "username"}, "Ann\n"},
    };
    for (const auto& [options, out] : cases) {
        std::vector<std::string> arguments{"Web", "Bank"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const ProgramResult result = RunOn("show", arguments);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, out);
    }
    EXPECT_EQ(RunOn("show", {"Web", "Bank", "--field", "colour"}).exitCode, 2);
    EXPECT_EQ(RunOn("show", {"Web", "Bank"}, "wrong\n").exitCode, 3);
    const ProgramResult missing = RunOn("show", {"WEB", "bank"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_THAT(missing.err, HasSubstr("Did you mean Web/Bank?"));
}

TEST_F(CliNewCommands, EditChangesTheGivenFieldsAndMovesTheEntry)
{
    const struct
    {
        std::vector<std::string> arguments;
        std::string input;
        Entry after;
    } cases[] = {
        {{"Web", "Bank", "--username", "Bob", "--notes", ""},
         Master + "\n",
         Entry(u"Web", u"Bank", u"Bob", u"tab\there", u"", u"")},
        {{"Web", "Bank", "--group", "Money", "--url", "u"},
         Master + "\n",
         Entry(u"Money", u"Bank", u"Bob", u"tab\there", u"u", u"")},
        {{"Money", "Bank", "--title", "Savings", "--password-prompt"},
         Master + "\nnew\nnew\n",
         Entry(u"Money", u"Savings", u"Bob", u"new", u"u", u"")},
    };
    for (const auto& [arguments, input, after] : cases) {
        const ProgramResult result = RunOn("edit", arguments, input);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(ReadEntries(database, Master).at(0), after);
    }
    ASSERT_EQ(RunOn("edit", {"Money", "Savings", "--generate", "-l", "20", "--numbers"}).exitCode, 0);
    const SecureString generated = ReadEntries(database, Master).at(0).password;
    EXPECT_EQ(generated.size(), 20u);
    EXPECT_EQ(generated.find_first_not_of(u"0123456789"), SecureString::npos);
}

TEST_F(CliNewCommands, EditRefusesWhatItCannotDo)
{
    const std::string before = ReadFileBytes(database);
    const struct
    {
        std::vector<std::string> arguments;
        int exitCode;
        std::string message;
    } cases[] = {
        {{"Web", "Bank", "--group", "Почта", "--title", "Ящик"}, 1, "already contained an element with such title"},
        {{"Web", "bank", "--username", "x"}, 1, "Did you mean Web/Bank?"},
        {{"Web", "Bank"}, 2, "nothing to change"},
        {{"Web", "Bank", "--generate", "--password-prompt"}, 2, "exclude each other"},
        {{"Web", "Bank", "--length", "5"}, 2, "need --generate"},
    };
    for (const auto& [arguments, exitCode, message] : cases) {
        const ProgramResult result = RunOn("edit", arguments);
        EXPECT_EQ(result.exitCode, exitCode) << message;
        EXPECT_THAT(result.err, HasSubstr(message));
    }
    EXPECT_EQ(RunOn("edit", {"Web", "Bank", "--url", "x"}, "wrong\n").exitCode, 3);
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(CliNewCommands, SearchFindsTermsInEveryFieldButThePasswordIgnoringCase)
{
    const struct
    {
        std::string term;
        std::string out;
    } cases[] = {
        {"web", "Web\tBank\n"},
        {"ANN", "Web\tBank\n"},
        {"kontonummer", "Web\tBank\n"},
        {"MAIL.EXAMPLE", "Почта\tЯщик\n"},
        {"ПОЧТА", "Почта\tЯщик\n"},
        {"ящ", "Почта\tЯщик\n"},
        {"tab", ""},
        {"a", "Web\tBank\nПочта\tЯщик\n"},
    };
    for (const auto& [term, out] : cases) {
        const ProgramResult result = RunOn("search", {term});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, out) << term;
    }
    EXPECT_EQ(RunOn("search", {}).exitCode, 2);
    EXPECT_EQ(RunOn("search", {"x"}, "wrong\n").exitCode, 3);
}

TEST_F(CliNewCommands, InfoDescribesTheDatabaseInPlainWords)
{
    const ProgramResult result = RunOn("info", {});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const std::string& fact :
         std::vector<std::string>{"Entries: 2\n", "Groups: 2\n",
                                  "File size: " + std::to_string(std::filesystem::file_size(database)) + " bytes\n",
                                  "triple DES (CBC) inside AES-256 (CBC)", "no key stretching",
                                  "offline attack on this database file to find this password: less than a second.",
                                  "10^10", "Warning: that is less than a century."}) {
        EXPECT_THAT(result.out, HasSubstr(fact));
    }
    EXPECT_EQ(RunOn("info", {}, "wrong\n").exitCode, 3);
    EXPECT_EQ(Run({"info", (folder / "none.ldb").string()}).exitCode, 1);
}

TEST_F(CliNewCommands, AddCanGenerateThePassword)
{
    ASSERT_EQ(RunOn("add", {"Gen", "One", "--generate", "--length=40", "--upper"}).exitCode, 0);
    const Entry added = ReadEntries(database, Master).at(0);
    EXPECT_EQ(added.password.size(), 40u);
    EXPECT_EQ(added.password.find_first_not_of(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"), SecureString::npos);
    EXPECT_EQ(RunOn("add", {"Gen", "Two", "-l", "8"}).exitCode, 2);
    EXPECT_EQ(RunOn("add", {"Gen", "Two", "--generate", "-l", "0"}).exitCode, 2);
}

TEST_F(CliNewCommands, VersionAndHelpSuitAManPageGenerator)
{
    const ProgramResult version = Run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_THAT(version.out, StartsWith("lockmere-cli (Lockmere) "));

    const ProgramResult help = Run({"--help"});
    EXPECT_THAT(help.out, StartsWith("Usage: lockmere-cli COMMAND"));
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 80u) << line;
    }
    for (const std::string option : {"\n  -q, --quiet", "\n  -s, --show-password", "\n  -l, --length N",
                                     "\n  -o, --output FILE", "\n      --version"}) {
        EXPECT_THAT(help.out, HasSubstr(option));
    }
    for (const std::string command : {"create", "ls", "show", "search", "info", "add", "edit", "rm", "passwd", "clip",
                                      "gen", "export", "import", "merge", "sync"}) {
        EXPECT_THAT(help.out, HasSubstr("\n  " + command + " ")) << command;
        const ProgramResult one = Run({command, "--help"});
        EXPECT_EQ(one.exitCode, 0);
        EXPECT_THAT(one.out, StartsWith("Usage: lockmere-cli " + command + " "));
    }
}

// clip with a stand-in for xclip on PATH that keeps the clipboard in a file, as the real one keeps it in the X server.
class CliClip : public CliNewCommands
{
protected:
    void SetUp() override
    {
        CliNewCommands::SetUp();
        std::filesystem::create_directories(tools);
        InstallXclip("/bin/cat > " + clipboard.string());
    }
    // `onRead` is what the stand-in does for xclip -out.
    void InstallXclip(const std::string& onWrite, const std::string& onRead = {})
    {
        const std::string reading = onRead.empty() ? "/bin/cat " + clipboard.string() : onRead;
        WriteFileBytes(tools / "xclip",
                       "#!/bin/sh\ncase \"$*\" in *-out*) " + reading + " ;; *) " + onWrite + " ;; esac\n");
        std::filesystem::permissions(tools / "xclip", std::filesystem::perms::owner_all);
    }
    ProgramResult Clip(std::vector<std::string> arguments, const std::string& display = ":99") const
    {
        arguments.insert(arguments.begin(), {"clip", database.string()});
        return RunProgram(
            Program(), arguments, Master + "\n",
            {{"APPDATA", appData.string()}, {"PATH", tools.string()}, {"DISPLAY", display}, {"WAYLAND_DISPLAY", ""}});
    }

    std::filesystem::path tools = folder / "tools";
    std::filesystem::path clipboard = folder / "clipboard";
};

TEST_F(CliClip, CopiesAndClearsOnlyItsOwnCopy)
{
    const struct
    {
        std::vector<std::string> options;
        std::string someoneElse; // what another program put on the clipboard meanwhile, if anything
        std::string copied;
        std::string left;
    } cases[] = {
        {{"--timeout", "1"}, "", "tab\there", ""},
        {{"--timeout", "1", "--field", "username"}, "", "Ann", ""},
        {{"--timeout", "1"}, "theirs", "tab\there", "tab\there"},
    };
    for (const auto& [options, someoneElse, copied, left] : cases) {
        // The stand-in logs every copy, so that the test sees the copy even after the clearing.
        InstallXclip("/bin/cat > " + clipboard.string() + "; /bin/cat " + clipboard.string() + " >> " +
                         (folder / "log").string(),
                     someoneElse.empty() ? "" : "printf " + someoneElse);
        std::filesystem::remove(folder / "log");
        std::vector<std::string> arguments{"Web", "Bank"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const ProgramResult result = Clip(arguments);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_THAT(ReadFileBytes(folder / "log"), StartsWith(copied));
        EXPECT_EQ(ReadFileBytes(clipboard), left);
        EXPECT_THAT(result.err, HasSubstr(someoneElse.empty() ? "Clipboard cleared." : "left as it is"));
    }
}

TEST_F(CliClip, EverySignalThatEndsASessionClearsTheClipboardAtOnce)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
        std::filesystem::remove(clipboard);
        ChildProcess clip(
            Program(), {"clip", database.string(), "Web", "Bank", "--timeout", "600"},
            {{"APPDATA", appData.string()}, {"PATH", tools.string()}, {"DISPLAY", ":99"}, {"WAYLAND_DISPLAY", ""}},
            ChildProcess::Input::Pipe);
        clip.WriteInput(Master + "\n");
        ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(clipboard) == "tab\there"; })) << strsignal(signal);
        clip.Kill(signal);
        const int status = clip.WaitForExit(std::chrono::seconds(30));
        EXPECT_TRUE(WIFEXITED(status)) << strsignal(signal) << ": status " << status;
        EXPECT_EQ(ReadFileBytes(clipboard), "") << strsignal(signal);
    }
}

TEST_F(CliClip, TheTimeoutDefaultsToTheDesktopSetting)
{
    std::filesystem::create_directories(appData / "Tavilo");
    COptions options;
    options.uClearClipboardTime = 1;
    MessageRecorder messages;
    ASSERT_TRUE(options.Save(messages, appData / "Tavilo" / "Lockmere.xml"));
    const ProgramResult result = Clip({"Web", "Bank"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_THAT(result.err, HasSubstr("cleared in 1 second "));
}

TEST_F(CliClip, SaysClearlyWhenThereIsNoClipboard)
{
    const ProgramResult noDisplay = Clip({"Web", "Bank"}, "");
    EXPECT_EQ(noDisplay.exitCode, 1);
    EXPECT_THAT(noDisplay.err, HasSubstr("No clipboard is available"));
    std::filesystem::remove(tools / "xclip");
    const ProgramResult noTool = Clip({"Web", "Bank"});
    EXPECT_EQ(noTool.exitCode, 1);
    EXPECT_THAT(noTool.err, HasSubstr("No clipboard tool was found"));
    EXPECT_EQ(Clip({"Web", "Bank", "--timeout", "-1"}).exitCode, 2);
}
