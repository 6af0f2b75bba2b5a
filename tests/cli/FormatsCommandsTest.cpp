#include <gtest/gtest.h>

#include <functional>

#include "CliRunner.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "support/MessageRecorder.h"

namespace {
SecureString S(std::u16string_view text)
{
    return ToSecure(text);
}

class FormatsCommandsTest : public CliRunner
{
protected:
    void SetUp() override
    {
        CDataBase entries(recorder, texts);
        entries.Add({S(u"Web"), S(u"Bank")}, {S(u"ann"), S(u"s3cret"), S(u"https://bank"), S(u"a \"q\"\r\nline")});
        entries.Add({S(u"Mail"), S(u"Box")}, {S(u"bob"), S(u"pw"), S(u""), S(u"")});
        ASSERT_TRUE(WriteDatabase(entries, database, S(u"master")));
    }

    MessageRecorder recorder;
    BuiltinTextSource texts;
};

using GenCommandTest = FormatsCommandsTest;

TEST_F(GenCommandTest, WithoutOptionsItFollowsTheDesktopGeneratorSettings)
{
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    struct Case
    {
        const char* name;
        std::function<void(COptions&)> settings;
        std::size_t length;
        std::string allowed;
    } cases[] = {
        {"no settings file: the generator's defaults", nullptr, 16, letters + "0123456789"},
        {"twenty digits",
         [](COptions& options) {
             options.iPassGenLength = 20;
             options.fPassGenUpperLetters = options.fPassGenLowerLetters = false;
         },
         20, "0123456789"},
        {"a hand-edited huge length is capped", [](COptions& options) { options.iPassGenLength = 2147483647; }, 100000,
         letters + "0123456789"},
    };
    for (const Case& test : cases) {
        std::filesystem::remove_all(appData);
        if (test.settings) {
            COptions options;
            test.settings(options);
            std::filesystem::create_directories(appData / "Tavilo");
            ASSERT_TRUE(options.Save(recorder, appData / "Tavilo" / "Lockmere.xml"));
        }
        const auto result = Run({"gen"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out.size(), test.length + 1) << test.name;
        EXPECT_EQ(result.out.find_first_not_of(test.allowed + "\n"), std::string::npos) << test.name;
    }
}

TEST_F(GenCommandTest, NamedSetsAndLengthAreUsed)
{
    const auto digits = Run({"gen", "--length", "50", "--numbers"});
    ASSERT_EQ(digits.exitCode, 0);
    EXPECT_EQ(digits.out.size(), 51u);
    EXPECT_EQ(digits.out.find_first_not_of("0123456789\n"), std::string::npos);

    const auto mixed = Run({"gen", "--length=200", "--upper", "--special"});
    ASSERT_EQ(mixed.exitCode, 0);
    EXPECT_EQ(mixed.out.size(), 201u);
    EXPECT_EQ(mixed.out.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^&*()_-+\n"), std::string::npos);
}

TEST_F(GenCommandTest, BadLengthIsAUsageError)
{
    for (const char* length : {"0", "-3", "abc", "100001", ""}) {
        const auto result = Run({"gen", "--length", length});
        EXPECT_EQ(result.exitCode, 2) << length;
        EXPECT_TRUE(result.out.empty());
    }
}

using ExportCommandTest = FormatsCommandsTest;

TEST_F(ExportCommandTest, CsvGoesToStandardOutputWithTheFileLineEnds)
{
    const auto result = Run({"export", database.string(), "--format", "csv"}, "master\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "\"Group\",\"Title\",\"Username\",\"Password\",\"URL/Path\",\"Notes\"\r\n"
                          "\"Mail\",\"Box\",\"bob\",\"pw\",\"\",\"\"\r\n"
                          "\"Web\",\"Bank\",\"ann\",\"s3cret\",\"https://bank\",\"a \"\"q\"\"\r\r\nline\"\r\n");
}

TEST_F(ExportCommandTest, CsvOptionsChooseFieldsDelimiterAndHeader)
{
    const auto result = Run(
        {"export", database.string(), "--format", "csv", "--fields", "title,group", "--delimiter", ";", "--no-header"},
        "master\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "\"Mail\";\"Box\"\r\n\"Web\";\"Bank\"\r\n");
}

TEST_F(ExportCommandTest, FileIsWrittenAndConfirmed)
{
    const auto path = folder / "list.txt";
    const auto result = Run({"export", database.string(), "--format", "txt", "-o", path.string()}, "master\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(result.err, "lockmere-cli: The txt file is created: " + path.string() + "\n");
    EXPECT_EQ(ReadFileBytes(path).substr(0, 40), "Group: Mail\r\nTitle: Box\r\nUsername: bob\r\n");
}

TEST_F(ExportCommandTest, TheConfirmationNamesTheFullPathOfAFileGivenRelatively)
{
    const auto path = folder / "relative.txt";
    const auto relative = std::filesystem::relative(path);
    ASSERT_TRUE(relative.is_relative());
    const auto result = Run({"export", database.string(), "--format", "txt", "-o", relative.string()}, "master\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "lockmere-cli: The txt file is created: " + path.string() + "\n");
}

TEST_F(ExportCommandTest, HtmlToAFileEqualsHtmlOnStandardOutput)
{
    const auto path = folder / "list.html";
    ASSERT_EQ(Run({"export", database.string(), "--format", "html", "-o", path.string()}, "master\n").exitCode, 0);
    const auto shown = Run({"export", database.string(), "--format", "html"}, "master\n");
    EXPECT_EQ(ReadFileBytes(path), shown.out);
    EXPECT_NE(shown.out.find("<TD>a &quot;q&quot;<br>line</TD>"), std::string::npos);
}

TEST_F(ExportCommandTest, WrongCombinationsAreUsageErrors)
{
    EXPECT_EQ(Run({"export", database.string()}, "master\n").exitCode, 2);
    EXPECT_EQ(Run({"export", database.string(), "--format", "pdf"}, "master\n").exitCode, 2);
    EXPECT_EQ(Run({"export", database.string(), "--format", "txt", "--no-header"}, "master\n").exitCode, 2);
    EXPECT_EQ(Run({"export", database.string(), "--format", "csv", "--fields", "group,colour"}, "master\n").exitCode,
              2);
    EXPECT_EQ(Run({"export", database.string(), "--format", "csv", "--delimiter", ";;"}, "master\n").exitCode, 2);
}

TEST_F(ExportCommandTest, WrongPasswordWritesNothing)
{
    const auto path = folder / "out.csv";
    const auto result = Run({"export", database.string(), "--format", "csv", "-o", path.string()}, "wrong\n");
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "lockmere-cli: Invalid password.\n");
    EXPECT_FALSE(std::filesystem::exists(path));
}

using ImportCommandTest = FormatsCommandsTest;

TEST_F(ImportCommandTest, RecordsAreAddedAndSavedWithNumberedTitles)
{
    const auto csv = folder / "in.csv";
    WriteFileBytes(csv, "\"G\",\"T\",\"N\"\r\n\"Web\",\"Bank\",\"new\"\r\n\"X\",\"Y\",\"z\"\r\n");

    const auto result =
        Run({"import", database.string(), csv.string(), "--header", "--map", "1,2,-1,-1,-1,3"}, "master\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const auto entries = ReadEntries(database, "master");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[1].Key(), (EntryKey{S(u"Web"), S(u"Bank")}));
    EXPECT_EQ(entries[1].username, S(u"ann"));
    EXPECT_EQ(entries[2].Key(), (EntryKey{S(u"Web"), S(u"Bank1")}));
    EXPECT_EQ(entries[2].notes, S(u"new"));
    EXPECT_EQ(entries[3].Key(), (EntryKey{S(u"X"), S(u"Y")}));
}

TEST_F(ImportCommandTest, RefusedFileLeavesTheDatabaseFileUnchanged)
{
    const auto csv = folder / "in.csv";
    WriteFileBytes(csv, "\"a\",\"b\"\n\"c\"\n");
    const std::string before = ReadFileBytes(database);

    const auto result = Run({"import", database.string(), csv.string(), "--map", "1,-1,-1,-1,-1,-1"}, "master\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "lockmere-cli: " + csv.string() +
                              ": line 2: the record has 1 field, but the first record has 2. Nothing was imported.\n");
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(ImportCommandTest, EqualFieldNumbersAreRefusedBeforeReading)
{
    const auto result = Run({"import", database.string(), "missing.csv", "--map", "1,1,-1,-1,-1,-1"}, "master\n");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "lockmere-cli: Field numbers must be different.\n");
}

TEST_F(ImportCommandTest, MalformedMapIsAUsageError)
{
    EXPECT_EQ(Run({"import", database.string(), "in.csv", "--map", "1,2,3"}, "master\n").exitCode, 2);
    EXPECT_EQ(Run({"import", database.string(), "in.csv", "--map", "1,2,3,4,5,x"}, "master\n").exitCode, 2);
    EXPECT_EQ(Run({"import", database.string(), "in.csv", "--map", "1,2,3,4,5,-2"}, "master\n").exitCode, 2);
}

using MergeCommandTest = FormatsCommandsTest;

TEST_F(MergeCommandTest, OtherEntriesAreAddedAndTheFileKeepsItsOwnPassword)
{
    const auto other = folder / "other.ldb";
    {
        CDataBase entries(recorder, texts);
        entries.Add({S(u"Web"), S(u"Bank")}, {S(u"theirs"), S(u""), S(u""), S(u"")});
        entries.Add({S(u"Mail"), S(u"Box2")}, {S(u""), S(u""), S(u""), S(u"")});
        ASSERT_TRUE(WriteDatabase(entries, other, S(u"other")));
    }

    const auto result = Run({"merge", database.string(), other.string()}, "master\nother\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const auto entries = ReadEntries(database, "master");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[1].Key(), (EntryKey{S(u"Mail"), S(u"Box2")}));
    EXPECT_EQ(entries[3].Key(), (EntryKey{S(u"Web"), S(u"Bank1")}));
    EXPECT_EQ(entries[3].username, S(u"theirs"));
}

TEST_F(MergeCommandTest, WrongPasswordOfTheOtherFileChangesNothing)
{
    const std::string before = ReadFileBytes(database);
    const auto result = Run({"merge", database.string(), database.string()}, "master\nwrong\n");
    EXPECT_EQ(result.exitCode, 3) << "the exit code the help promises for an invalid password";
    EXPECT_EQ(result.err, "lockmere-cli: Invalid password.\n");
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(MergeCommandTest, MergingTheDatabaseIntoItselfDoublesIt)
{
    ASSERT_EQ(Run({"merge", database.string(), database.string()}, "master\nmaster\n").exitCode, 0);
    EXPECT_EQ(ReadEntries(database, "master").size(), 4u);
}
} // namespace

namespace {
using SyncCommandTest = FormatsCommandsTest;

TEST_F(SyncCommandTest, AddsWhatOnlyTheOtherHoldsKeepsBothOfADifferenceAndSaysSo)
{
    const auto other = folder / "lockmere.sync-conflict-20240101-120000-ABC.ldb";
    {
        CDataBase entries(recorder, texts);
        for (const Entry& entry : ReadEntries(database, "master")) {
            entries.Insert(entry.Key(), entry.Fields());
        }
        entries.Replace({S(u"Web"), S(u"Bank")}, {S(u"Web"), S(u"Bank")}, {S(u"laptop"), S(u""), S(u""), S(u"")});
        entries.Add({S(u"Laptop"), S(u"Only")}, {S(u""), S(u""), S(u""), S(u"")});
        ASSERT_TRUE(WriteDatabase(entries, other, S(u"other")));
    }
    const std::string otherBefore = ReadFileBytes(other);

    const auto result = Run({"sync", database.string(), other.string()}, "master\nother\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;

    EXPECT_NE(result.err.find(": 1 added, 1 identical, 1 kept both.\n"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("Kept both, the other file's entry as Web/Bank1"), std::string::npos) << result.err;
    const auto entries = ReadEntries(database, "master");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].Key(), (EntryKey{S(u"Laptop"), S(u"Only")}));
    EXPECT_EQ(entries[3].Key(), (EntryKey{S(u"Web"), S(u"Bank1")}));
    EXPECT_EQ(entries[3].username, S(u"laptop"));
    EXPECT_EQ(ReadFileBytes(other), otherBefore) << "the other file is only read";
}

TEST_F(SyncCommandTest, AWrongPasswordOfTheOtherFileChangesNothing)
{
    const std::string before = ReadFileBytes(database);
    const auto result = Run({"sync", database.string(), database.string()}, "master\nwrong\n");
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "lockmere-cli: Invalid password.\n");
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(SyncCommandTest, SynchronizingWithItselfChangesNoEntry)
{
    const auto before = ReadEntries(database, "master");
    const auto result = Run({"sync", database.string(), database.string()}, "master\nmaster\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find(": 0 added, 2 identical, 0 kept both."), std::string::npos) << result.err;
    EXPECT_EQ(ReadEntries(database, "master"), before);
}
} // namespace
