#include <gtest/gtest.h>
#include <sys/stat.h>

#include "CliRunner.h"
#include "core/database/DatabaseFile.h"
#include "support/EntryBuilder.h"
#include "support/KeePassXcCli.h"
#include "support/MessageRecorder.h"

namespace {
const std::string KdbxPassword = "k\xC3\xA9y pass";

class KdbxCommandsTest : public CliRunner
{
protected:
    void SetUp() override
    {
        CDataBase entries(recorder, texts);
        entries.Add({ToSecure(u"Web"), ToSecure(u"Bank")},
                    {ToSecure(u"ann"), ToSecure(u"s3<cret"), ToSecure(u"https://bank"), ToSecure(u"a\r\nb")});
        ASSERT_TRUE(WriteDatabase(entries, database, ToSecure(u"master")));
    }

    // A KeePassXC database holding a nested entry with an extra attribute and a taken title, made by keepassxc-cli.
    std::filesystem::path KeePassXcFile(const std::vector<std::string>& keyFileArguments = {})
    {
        KeePassXml xml;
        xml.OpenGroup("Root").OpenGroup("Web");
        xml.AddEntry({{"Title", "Bank"}, {"UserName", "bob"}, {"Password", "pw"}, {"PIN", "1234"}});
        xml.CloseGroup().CloseGroup();
        WriteFileBytes(folder / "in.xml", xml.Document());
        const auto file = folder / "in.kdbx";
        std::vector<std::string> arguments{"import", "-q", "-p", "-t", "100"};
        arguments.insert(arguments.end(), keyFileArguments.begin(), keyFileArguments.end());
        arguments.insert(arguments.end(), {(folder / "in.xml").string(), file.string()});
        const ProgramResult made = KeePassXcCli(arguments, KdbxPassword + "\n" + KdbxPassword + "\n");
        EXPECT_EQ(made.exitCode, 0) << made.err;
        return file;
    }

    MessageRecorder recorder;
    BuiltinTextSource texts;
};

TEST_F(KdbxCommandsTest, AKeePassXcFileImportsByItsSignatureByKdbxAndByAuto)
{
    const auto file = KeePassXcFile();
    const std::vector<Entry> before = ReadEntries(database, "master");
    for (const std::vector<std::string>& from :
         {std::vector<std::string>{}, std::vector<std::string>{"--from", "kdbx"}, {"--from=auto"}}) {
        CDataBase start(recorder, texts);
        for (const Entry& entry : before) {
            start.Add(entry.Key(), entry.Fields());
        }
        ASSERT_TRUE(WriteDatabase(start, database, ToSecure(u"master")));
        std::vector<std::string> arguments{"import", database.string(), file.string()};
        arguments.insert(arguments.end(), from.begin(), from.end());

        const ProgramResult result = Run(arguments, "master\n" + KdbxPassword + "\n");

        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, "added 0, renamed 1, skipped 0; not imported: 0 history entries, 0 entries in the "
                              "recycle bin, 0 attachments\n");
        EXPECT_EQ(ReadEntries(database, "master"),
                  (std::vector<Entry>{MakeEntry(u"Web", u"Bank", u"ann", u"s3<cret", u"https://bank", u"a\r\nb"),
                                      MakeEntry(u"Web", u"Bank1", u"bob", u"pw", u"", u"PIN: 1234")}));
    }
}

TEST_F(KdbxCommandsTest, AKeyFileIsGivenWithKeyFile)
{
    const auto keyFile = folder / "in.keyx";
    const auto file = KeePassXcFile({"--set-key-file", keyFile.string()});

    const ProgramResult without = Run({"import", database.string(), file.string()}, "master\n" + KdbxPassword + "\n");
    EXPECT_EQ(without.exitCode, 3);
    EXPECT_EQ(without.err, "lockmere-cli: Invalid password or key file.\n");
    const ProgramResult with = Run({"import", database.string(), file.string(), "--key-file", keyFile.string()},
                                   "master\n" + KdbxPassword + "\n");
    EXPECT_EQ(with.exitCode, 0) << with.err;
    EXPECT_EQ(ReadEntries(database, "master").size(), 2u);
}

TEST_F(KdbxCommandsTest, RefusedFilesLeaveTheDatabaseUnchanged)
{
    const auto file = KeePassXcFile();
    WriteFileBytes(folder / "plain.csv", "\"Group\",\"Title\"\n");
    const std::string before = ReadFileBytes(database);
    struct Case
    {
        std::vector<std::string> arguments;
        std::string input;
        int exitCode;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{file.string()}, "master\nwrong\n", 3, "lockmere-cli: Invalid password or key file.\n"},
        {{(folder / "plain.csv").string(), "--from", "kdbx"},
         "master\n",
         1,
         "lockmere-cli: " + (folder / "plain.csv").string() +
             ": The file cannot be imported: it is not a KeePass database (.kdbx).\n"},
        {{file.string(), "--from", "chrome", "--key-file", file.string()}, "", 2, ""},
    };
    for (const Case& refused : cases) {
        std::vector<std::string> arguments{"import", database.string()};
        arguments.insert(arguments.end(), refused.arguments.begin(), refused.arguments.end());
        const ProgramResult result = Run(arguments, refused.input);
        EXPECT_EQ(result.exitCode, refused.exitCode) << result.err;
        if (!refused.error.empty()) {
            EXPECT_EQ(result.err, refused.error);
        }
        EXPECT_EQ(ReadFileBytes(database), before);
    }
}

TEST_F(KdbxCommandsTest, TheExportOpensInKeePassXcUnderItsOwnPasswordAndOnlyForItsOwner)
{
    const auto target = folder / "out.kdbx";

    const ProgramResult result = Run({"export", database.string(), "--format", "kdbx", "-o", target.string()},
                                     "master\n" + KdbxPassword + "\n" + KdbxPassword + "\n");

    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<KeePassXcRecord> records = KeePassXcCsv(target, KdbxPassword);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0][0], "lockmere/Web");
    EXPECT_EQ(records[0][3], "s3<cret");
    EXPECT_EQ(records[0][5], "a\nb");
    struct stat status
    {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(KdbxCommandsTest, TheExportRefusesAnEmptyOrMistypedPasswordAndAMissingFile)
{
    const auto target = folder / "out.kdbx";
    struct Case
    {
        std::vector<std::string> output;
        std::string input;
        int exitCode;
    };
    for (const Case& refused : {Case{{"-o", target.string()}, "master\n\n\n", 1},
                                Case{{"-o", target.string()}, "master\none\ntwo\n", 1}, Case{{}, "master\n", 2}}) {
        std::vector<std::string> arguments{"export", database.string(), "--format", "kdbx"};
        arguments.insert(arguments.end(), refused.output.begin(), refused.output.end());
        EXPECT_EQ(Run(arguments, refused.input).exitCode, refused.exitCode);
        EXPECT_FALSE(std::filesystem::exists(target));
    }
}
} // namespace
