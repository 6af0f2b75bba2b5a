#include <gmock/gmock.h>

#include "CliRunner.h"
#include "core/database/DatabaseFile.h"

using ::testing::HasSubstr;

namespace {
// What each command checks of its files before it asks for a password, and how it tells a file that is no database.
class CliFileChecks : public CliRunner
{
protected:
    static std::string NotADatabase(const std::filesystem::path& path)
    {
        return "lockmere-cli: " + path.string() +
               " is not a Lockmere database (its size is not a whole number of cipher blocks).\n";
    }
};

TEST_F(CliFileChecks, AFileThatCannotBeADatabaseIsToldSoBeforeThePassword)
{
    Create(database, "pw");
    const auto empty = folder / "empty.ldb";
    const auto odd = folder / "odd.ldb";
    WriteFileBytes(empty, "");
    WriteFileBytes(odd, std::string(33, 'x'));
    for (const auto& file : {empty, odd}) {
        for (const std::vector<std::string>& command : {std::vector<std::string>{"ls", file.string()},
                                                        {"add", file.string(), "g", "t"},
                                                        {"merge", database.string(), file.string()}}) {
            const ProgramResult result = Run(command, "");
            EXPECT_EQ(result.exitCode, 1) << command[0];
            EXPECT_EQ(result.err, NotADatabase(file)) << command[0];
        }
    }
    // Whole cipher blocks are a database under some password: a wrong one is still just that.
    const auto blocks = folder / "blocks.ldb";
    WriteFileBytes(blocks, std::string(32, 'x'));
    const ProgramResult wrong = Run({"ls", blocks.string()}, "pw\n");
    EXPECT_EQ(wrong.exitCode, 3);
    EXPECT_EQ(wrong.err, "lockmere-cli: Invalid password.\n");
}

TEST_F(CliFileChecks, CreateRefusesANameThatNoChangingCommandWouldAccept)
{
    Create(database, "pw");
    const auto name = folder / "bad\xFFname.ldb";
    const ProgramResult result = Run({"create", name.string()}, "");
    EXPECT_EQ(result.exitCode, 1);
    // The byte that is no UTF-8 shows as U+FFFD, as in the message of every command that changes a database.
    const std::string shown = (folder / "bad\xEF\xBF\xBDname.ldb").string();
    const std::string message = ": the file name is not valid UTF-8; rename the file to change it\n";
    EXPECT_EQ(result.err, "lockmere-cli: " + shown + message);
    EXPECT_FALSE(std::filesystem::exists(name));

    // A file made by another program under that name is refused by a changing command the same way.
    std::filesystem::copy_file(database, name);
    const ProgramResult add = Run({"add", name.string(), "g", "t"}, "");
    EXPECT_EQ(add.err, "lockmere-cli: " + shown + message);
}

TEST_F(CliFileChecks, ThePlainImportTakesAByteOrderMarkAndSkipsIdenticalRecordsOnlyWhenAsked)
{
    Create(database, "pw");
    const auto csv = folder / "in.csv";
    WriteFileBytes(csv, "\xEF\xBB\xBF\"Group\",\"Title\",\"Username\",\"Password\",\"URL/Path\",\"Notes\"\r\n"
                        "\"Web\",\"Bank\",\"ann\",\"pw\",\"\",\"a\r\r\nb\"\r\n");
    const ProgramResult first = Run({"import", database.string(), csv.string()}, "pw\n");
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.err, "lockmere-cli: Imported 1 entry from " + csv.string() + ", 0 of them renamed.\n");

    const ProgramResult skipped = Run({"import", database.string(), csv.string(), "--skip-identical"}, "pw\n");
    ASSERT_EQ(skipped.exitCode, 0) << skipped.err;
    EXPECT_EQ(skipped.err, "lockmere-cli: Imported 0 entries from " + csv.string() +
                               ", 0 of them renamed; 1 entry identical to one in the database skipped.\n");
    EXPECT_EQ(ReadEntries(database, "pw").size(), 1u);

    const ProgramResult renamed = Run({"import", database.string(), csv.string()}, "pw\n");
    EXPECT_EQ(renamed.err, "lockmere-cli: Imported 1 entry from " + csv.string() + ", 1 of them renamed.\n");
    EXPECT_EQ(ReadEntries(database, "pw").size(), 2u);
}

TEST_F(CliFileChecks, TheStandardCsvExportIsRfc4180AndTakesNoDelimiter)
{
    Create(database, "pw");
    ASSERT_EQ(
        Run({"add", database.string(), "Web", "Bank", "--username", "ann", "--notes", "a\nb"}, "pw\np\np\n").exitCode,
        0);
    const ProgramResult standard = Run({"export", database.string(), "--format", "csv-standard"}, "pw\n");
    ASSERT_EQ(standard.exitCode, 0) << standard.err;
    EXPECT_EQ(standard.out, "\"Group\",\"Title\",\"Username\",\"Password\",\"URL/Path\",\"Notes\"\r\n"
                            "\"Web\",\"Bank\",\"ann\",\"p\",\"\",\"a\nb\"\r\n");
    const ProgramResult described = Run({"export", database.string(), "--format", "csv"}, "pw\n");
    EXPECT_THAT(described.out, HasSubstr("\"a\r\nb\"\r\n"));

    const ProgramResult delimiter =
        Run({"export", database.string(), "--format", "csv-standard", "--delimiter", ";"}, "pw\n");
    EXPECT_EQ(delimiter.exitCode, 2);
    EXPECT_THAT(delimiter.err, HasSubstr("--delimiter applies to --format csv only"));
}
} // namespace
