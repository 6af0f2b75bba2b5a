#include <gmock/gmock.h>

#include "CliRunner.h"

using ::testing::HasSubstr;

class CliUsage : public CliRunner
{
protected:
    void ExpectUsageError(const std::vector<std::string>& arguments, const std::string& problem)
    {
        const ProgramResult result = Run(arguments, "pw\npw\npw\n");
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(arguments);
        EXPECT_THAT(result.err, HasSubstr(problem)) << ::testing::PrintToString(arguments);
        EXPECT_THAT(result.err, HasSubstr("lockmere-cli --help"));
        EXPECT_EQ(result.out, "");
    }
};

TEST_F(CliUsage, HelpDocumentsEveryCommandAndTheExitCodes)
{
    const ProgramResult result = Run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* text :
         {"create DB", "ls DB", "show DB GROUP TITLE", "add DB GROUP TITLE [--username U] [--url U] [--notes N]",
          "rm DB GROUP TITLE", "passwd DB", "0 done, 1 failed, 2 usage error, 3 invalid password", "without echo"}) {
        EXPECT_THAT(result.out, HasSubstr(text));
    }
}

TEST_F(CliUsage, HelpOfOneCommand)
{
    const ProgramResult result = Run({"add", "--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_THAT(result.out, HasSubstr("Usage: lockmere-cli add DB GROUP TITLE"));
}

TEST_F(CliUsage, CommandLinesThatDoNotFitExitWith2)
{
    Create(database, "pw");
    const std::string db = database.string();
    ExpectUsageError({}, "no command given");
    ExpectUsageError({"frobnicate", db}, "unknown command 'frobnicate'");
    ExpectUsageError({"ls"}, "missing arguments");
    ExpectUsageError({"ls", db, "extra"}, "too many arguments");
    ExpectUsageError({"show", db, "g"}, "missing arguments");
    ExpectUsageError({"rm", db, "g", "t", "u"}, "too many arguments");
    ExpectUsageError({"add", db, "g", "t", "--password", "x"}, "unknown option --password");
    ExpectUsageError({"ls", db, "-s"}, "unknown option -s");
    ExpectUsageError({"show", db, "g", "t", "-s", "--show-password"}, "option --show-password is given twice");
    ExpectUsageError({"add", db, "g", "t", "--notes"}, "option --notes needs a value");
    ExpectUsageError({"add", db, "g", "t", "--url", "a", "--url", "b"}, "option --url is given twice");
    ExpectUsageError({"add", db, "g\xFF", "t"}, "not valid UTF-8");
    ExpectUsageError({"add", db, "g", "t", "--notes", "\xC0\x80"}, "not valid UTF-8");
    ExpectUsageError({"ls", ""}, "the database path is empty");
    EXPECT_TRUE(ReadEntries(database, "pw").empty());
}

TEST_F(CliUsage, AUsageErrorShowsTheCommandsUsage)
{
    const ProgramResult result = Run({"show", "x"});
    EXPECT_THAT(result.err, HasSubstr("Usage: lockmere-cli show DB GROUP TITLE"));
}

TEST_F(CliUsage, AUsageErrorAsksForNoPassword)
{
    // Nothing on standard input is read before the command line is known to be right.
    const ProgramResult result = Run({"ls"}, "");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_THAT(result.err, ::testing::Not(HasSubstr("No password")));
}

TEST_F(CliUsage, TheReadmeListsEveryCommandAsHelpDoes)
{
    const std::string readme = ReadFileBytes(std::filesystem::path(LOCKMERE_SOURCE_DIR) / "README.md");
    for (const std::string command : {"create", "ls", "show", "search", "info", "analyze", "add", "edit", "rm",
                                      "passwd", "clip", "gen", "export", "import", "merge", "sync"}) {
        // The usage as one line: the help wraps it, indenting the later lines by four spaces.
        std::string usage = Run({command, "--help"}).out;
        usage = usage.substr(std::string("Usage: ").size(), usage.find("\n\n") - std::string("Usage: ").size());
        for (std::size_t wrap = usage.find("\n    "); wrap != std::string::npos; wrap = usage.find("\n    ")) {
            usage.replace(wrap, 5, " ");
        }
        EXPECT_THAT(readme, HasSubstr("\n" + usage + "\n")) << command;
    }
}
