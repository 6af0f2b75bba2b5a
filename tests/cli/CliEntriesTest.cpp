#include <gmock/gmock.h>

#include "CliRunner.h"
#include "core/common/Utf.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {
const std::string Password = "master";

// Values with everything that could break the file, a line of output or the conversion between UTF-8 and UTF-16.
const std::string Group = "Gr\tüp \"q\" 😀";
const std::string Title = "Ti'tle\nsecond line \\ 𝄞";
const std::string Username = "us\ter \"ä\" 𐍈";
const std::string EntryPassword = "pä\tss \"w\" 😀 \\ end ";
const std::string Url = "https://exämple.org/?q=\"x\"&a=1\t🎉";
const std::string Notes = "line1\nline2\r\nline3\t\"q\" ñ 🎉 \\n \x07 bell\n";

std::map<std::string, std::string> ShownFields(const std::string& out)
{
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = out.find('\n', start);
        const std::string line = out.substr(start, end - start);
        const std::size_t colon = line.find(": ");
        fields[line.substr(0, colon)] = Unescape(line.substr(colon + 2));
        start = end + 1;
    }
    return fields;
}
} // namespace

class CliEntries : public CliRunner
{
protected:
    void SetUp() override { Create(database, Password); }

    ProgramResult AddSpecialEntry()
    {
        return Run(
            {"add", "-q", database.string(), Group, Title, "--username", Username, "--url", Url, "--notes", Notes},
            Password + "\n" + EntryPassword + "\n" + EntryPassword + "\n");
    }
};

TEST_F(CliEntries, CreateWritesAnEmptyDatabaseFile)
{
    EXPECT_EQ(std::filesystem::file_size(database), 16u);
    EXPECT_TRUE(ReadEntries(database, Password).empty());
    EXPECT_EQ(std::filesystem::status(database).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(CliEntries, AddStoresEveryFieldExactly)
{
    const ProgramResult result = AddSpecialEntry();
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");

    const std::vector<Entry> entries = ReadEntries(database, Password);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0],
              Entry(Secure(Group), Secure(Title), Secure(Username), Secure(EntryPassword), Secure(Url), Secure(Notes)));
}

TEST_F(CliEntries, ShowGivesBackEveryFieldOnItsOwnLine)
{
    ASSERT_EQ(AddSpecialEntry().exitCode, 0);

    const ProgramResult result = Run({"show", database.string(), Group, Title, "-s"}, Password + "\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // Six lines, whatever the fields hold.
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 6);
    const auto fields = ShownFields(result.out);
    EXPECT_EQ(fields.at("Group"), Group);
    EXPECT_EQ(fields.at("Title"), Title);
    EXPECT_EQ(fields.at("Username"), Username);
    EXPECT_EQ(fields.at("Password"), EntryPassword);
    EXPECT_EQ(fields.at("URL/Path"), Url);
    EXPECT_EQ(fields.at("Notes"), Notes);
}

TEST_F(CliEntries, ShowWritesLabelsInTheFieldOrder)
{
    ASSERT_EQ(Run({"add", database.string(), "Web", "Shop", "--username", "ann", "--url", "u", "--notes", "n"},
                  Password + "\nsecret\nsecret\n")
                  .exitCode,
              0);
    const ProgramResult result = Run({"show", database.string(), "Web", "Shop", "--show-password"}, Password + "\n");
    EXPECT_EQ(result.out, "Group: Web\nTitle: Shop\nUsername: ann\nPassword: secret\nURL/Path: u\nNotes: n\n");
}

TEST_F(CliEntries, OptionalFieldsStayEmpty)
{
    ASSERT_EQ(Run({"add", database.string(), "Web", "Shop"}, Password + "\n\n\n").exitCode, 0);
    EXPECT_THAT(ReadEntries(database, Password), ElementsAre(Entry(u"Web", u"Shop", u"", u"", u"", u"")));
}

TEST_F(CliEntries, ValuesAfterDoubleDashMayStartWithADash)
{
    const ProgramResult result = Run({"add", database.string(), "--", "-group", "--notes"}, Password + "\np\np\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_THAT(ReadEntries(database, Password), ElementsAre(Entry(u"-group", u"--notes", u"", u"p", u"", u"")));
}

TEST_F(CliEntries, OptionValuesMayFollowAnEqualsSign)
{
    ASSERT_EQ(Run({"add", database.string(), "g", "t", "--username=a=b"}, Password + "\np\np\n").exitCode, 0);
    EXPECT_EQ(ReadEntries(database, Password).at(0).username, u"a=b");
}

TEST_F(CliEntries, LsListsGroupAndTitleInKeyOrderOneLineEach)
{
    for (const auto& [group, title] : std::vector<std::pair<std::string, std::string>>{
             {"Mail", "b"}, {"mail", "a"}, {"", "x"}, {"Mail", "A"}, {"Tabs\tand", "lines\nhere"}}) {
        ASSERT_EQ(Run({"add", database.string(), group, title}, Password + "\np\np\n").exitCode, 0);
    }
    const ProgramResult result = Run({"ls", database.string()}, Password + "\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "\tx\nMail\tA\nMail\tb\nTabs\\tand\tlines\\nhere\nmail\ta\n");
}

TEST_F(CliEntries, LsOfAnEmptyDatabasePrintsNothing)
{
    const ProgramResult result = Run({"ls", database.string()}, Password + "\n");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
}

TEST_F(CliEntries, AddOfATakenKeyIsRefusedAndChangesNothing)
{
    ASSERT_EQ(Run({"add", database.string(), "Web", "Shop"}, Password + "\none\none\n").exitCode, 0);
    const std::string before = ReadFileBytes(database);

    const ProgramResult result = Run({"add", database.string(), "Web", "Shop"}, Password + "\ntwo\ntwo\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "lockmere-cli: The database already contained an element with such title and group. Please change the "
              "title or group.\n");
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(CliEntries, KeysDifferingOnlyInCaseAreDifferentEntries)
{
    ASSERT_EQ(Run({"add", database.string(), "Web", "Shop"}, Password + "\np\np\n").exitCode, 0);
    EXPECT_EQ(Run({"add", database.string(), "Web", "shop"}, Password + "\np\np\n").exitCode, 0);
    EXPECT_EQ(ReadEntries(database, Password).size(), 2u);
}

TEST_F(CliEntries, MismatchedEntryPasswordsAreRefused)
{
    const std::string before = ReadFileBytes(database);
    const ProgramResult result = Run({"add", database.string(), "Web", "Shop"}, Password + "\nsecret\nSecret\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "lockmere-cli: Error: Passwords do not match, please retype.\n");
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(CliEntries, RmDeletesTheEntryAndWritesAtOnce)
{
    ASSERT_EQ(Run({"add", database.string(), "Web", "Shop"}, Password + "\np\np\n").exitCode, 0);
    ASSERT_EQ(Run({"add", database.string(), "Web", "Bank"}, Password + "\np\np\n").exitCode, 0);

    const ProgramResult result = Run({"rm", database.string(), "Web", "Shop"}, Password + "\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_THAT(ReadEntries(database, Password), ElementsAre(Entry(u"Web", u"Bank", u"", u"p", u"", u"")));
}

TEST_F(CliEntries, RmOfAMissingEntryFailsClearly)
{
    ASSERT_EQ(Run({"add", database.string(), "Web", "Shop"}, Password + "\np\np\n").exitCode, 0);
    const std::string before = ReadFileBytes(database);

    const ProgramResult result = Run({"rm", database.string(), "Web", "shop"}, Password + "\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "lockmere-cli: There is no entry with the group \"Web\" and the title \"shop\". Did you mean "
                          "Web/Shop?\n");
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(CliEntries, ShowOfAMissingEntryFailsClearly)
{
    const ProgramResult result = Run({"show", database.string(), "Web", "Shop"}, Password + "\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.err, HasSubstr("There is no entry with the group \"Web\" and the title \"Shop\"."));
    EXPECT_EQ(result.out, "");
}

TEST_F(CliEntries, AFieldHoldingTheTerminatorIsNotWritten)
{
    const std::string before = ReadFileBytes(database);
    const ProgramResult result =
        Run({"add", database.string(), "Web", "Shop", "--notes", "a\x07\x01\x05z"}, Password + "\np\np\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "lockmere-cli: An exception occurred. Invalid characters detected. The changes can not be written to the "
              "database file.\n");
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(CliEntries, SingleTerminatorUnitsAreKept)
{
    ASSERT_EQ(
        Run({"add", database.string(), "Web", "Shop", "--notes", "a\x07z\x01\x05"}, Password + "\np\np\n").exitCode, 0);
    EXPECT_EQ(ReadEntries(database, Password).at(0).notes, u"a\u0007z\u0001\u0005");
}
