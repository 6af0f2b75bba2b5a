#include <gmock/gmock.h>
#include <sys/stat.h>

#include "CliRunner.h"
#include "core/database/DatabaseFile.h"
#include "support/MessageRecorder.h"

using ::testing::HasSubstr;

namespace {
const std::string Master = "master";

std::filesystem::perms PermissionsOf(const std::filesystem::path& path)
{
    return std::filesystem::status(path).permissions() & std::filesystem::perms::all;
}
} // namespace

// What a person meets when a command goes wrong or right: files named with the reason, refusals with their line,
// confirmations of changes.
class CliFaults : public CliRunner
{
protected:
    void SetUp() override
    {
        Create(database, Master);
        Add("Web", "Bank", {"--username", "ann", "--notes", "a \"q\"\r\nline, with comma"});
        Add("Mail", "Box", {"--url", "https://mail"});
    }
    void Add(const std::string& group, const std::string& title, std::vector<std::string> options = {})
    {
        std::vector<std::string> arguments{"add", "-q", database.string(), group, title};
        arguments.insert(arguments.end(), options.begin(), options.end());
        ASSERT_EQ(Run(arguments, Master + "\nsecret\nsecret\n").exitCode, 0);
    }
    std::string Export(const std::filesystem::path& from) const
    {
        const ProgramResult result = Run({"export", from.string(), "--format", "csv"}, Master + "\n");
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }
};

TEST_F(CliFaults, FileProblemsAreNamedWithTheReasonBeforeAnyPassword)
{
    const std::string db = database.string();
    const std::string missing = (folder / "missing.ldb").string();
    const std::string readOnly = (folder / "readonly.ldb").string();
    std::filesystem::copy_file(database, readOnly);
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    const std::string readOnlyBytes = ReadFileBytes(readOnly);
    const std::string noFolder = (folder / "nofolder" / "x.csv").string();
    const struct
    {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"ls", missing}, missing + ": No such file or directory"},
        {{"show", folder.Path().string(), "g", "t"}, folder.Path().string() + ": Is a directory"},
        {{"add", readOnly, "g", "t"}, readOnly + ": Permission denied"},
        {{"passwd", readOnly}, readOnly + ": Permission denied"},
        {{"import", db, missing}, missing + ": No such file or directory"},
        {{"merge", db, missing}, missing + ": No such file or directory"},
        {{"sync", db, missing}, missing + ": No such file or directory"},
        {{"export", db, "--format", "csv", "-o", noFolder},
         (folder / "nofolder").string() + ": No such file or directory"},
        {{"create", noFolder}, (folder / "nofolder").string() + ": No such file or directory"},
        {{"export", db, "--format", "csv", "-o", db},
         db + ": this is the database file itself; the export is not written over it."},
    };
    for (const auto& [arguments, message] : cases) {
        // No input at all: a command that asked for a password would fail with another message.
        const ProgramResult result = Run(arguments, "");
        EXPECT_EQ(result.exitCode, 1) << arguments[0];
        EXPECT_EQ(result.err, "lockmere-cli: " + message + "\n") << arguments[0];
    }
    EXPECT_EQ(ReadFileBytes(readOnly), readOnlyBytes);
    EXPECT_EQ(ReadEntries(database, Master).size(), 2u);
}

TEST_F(CliFaults, ExportFilesAreLeftReadableByTheOwnerOnly)
{
    using std::filesystem::perms;
    const struct
    {
        std::optional<perms> before;
        bool narrowed;
    } cases[] = {{std::nullopt, false},
                 {perms::owner_read | perms::owner_write, false},
                 {perms::owner_read | perms::owner_write | perms::group_read | perms::others_read, true}};
    for (const auto& [before, narrowed] : cases) {
        const std::filesystem::path target = folder / "out.csv";
        std::filesystem::remove(target);
        if (before) {
            WriteFileBytes(target, "old");
            std::filesystem::permissions(target, *before);
        }
        const ProgramResult result =
            Run({"export", database.string(), "--format", "csv", "-o", target.string()}, Master + "\n");
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(PermissionsOf(target), perms::owner_read | perms::owner_write);
        EXPECT_EQ(result.err.find("narrowed") != std::string::npos, narrowed) << result.err;
        EXPECT_EQ(ReadFileBytes(target), Export(database));
    }
}

TEST_F(CliFaults, AnExportToSomethingElseThanAFileIsWrittenIntoNotReplaced)
{
    const ProgramResult result =
        Run({"export", database.string(), "--format", "csv", "-o", "/dev/stdout"}, Master + "\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, Export(database));
    EXPECT_TRUE(std::filesystem::is_symlink("/dev/stdout"));
}

TEST_F(CliFaults, ExportThenImportThenExportIsByteIdentical)
{
    const std::filesystem::path csv = folder / "all.csv";
    const std::filesystem::path copy = folder / "copy.ldb";
    ASSERT_EQ(Run({"export", database.string(), "--format", "csv", "-o", csv.string()}, Master + "\n").exitCode, 0);
    Create(copy, Master);

    const ProgramResult imported = Run({"import", copy.string(), csv.string()}, Master + "\n");
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.err, "lockmere-cli: Imported 2 entries from " + csv.string() + ", 0 of them renamed.\n");
    EXPECT_EQ(Export(copy), ReadFileBytes(csv));
    EXPECT_EQ(ReadEntries(copy, Master), ReadEntries(database, Master));
}

TEST_F(CliFaults, ImportTakesTheFirstRecordAsDataOnlyWithNoHeader)
{
    const std::filesystem::path csv = folder / "plain.csv";
    WriteFileBytes(csv, "\"Web\",\"Bank\"\r\n\"New\",\"One\"\r\n");
    const std::string map = "1,2,-1,-1,-1,-1";
    const ProgramResult both =
        Run({"import", database.string(), csv.string(), "--no-header", "--map", map}, Master + "\n");
    EXPECT_EQ(both.err, "lockmere-cli: Imported 2 entries from " + csv.string() + ", 1 of them renamed.\n");
    const ProgramResult skipped = Run({"import", database.string(), csv.string(), "--map", map}, Master + "\n");
    EXPECT_EQ(skipped.err, "lockmere-cli: Imported 1 entry from " + csv.string() + ", 1 of them renamed.\n");
    EXPECT_EQ(ReadEntries(database, Master).size(), 5u);
}

TEST_F(CliFaults, RefusedCsvFilesAreReportedWithTheLine)
{
    const std::filesystem::path csv = folder / "bad.csv";
    const std::string before = ReadFileBytes(database);
    const struct
    {
        std::string content;
        std::string map;
        std::string problem;
    } cases[] = {
        {"\"a\",\"b\"\nc,\"d\"\n", "1,2,-1,-1,-1,-1", "line 2: a field is not in double quotes"},
        {"\"a\",\"b\"\n\"c\",d\n", "1,2,-1,-1,-1,-1", "line 2: a field is not in double quotes"},
        {"\"a\",\"b\"\n\"two\nlines\",\"x\"\n\"c\"\n", "1,2,-1,-1,-1,-1",
         "line 4: the record has 1 field, but the first record has 2"},
        {"\"a\",\"b\"\n\n", "1,2,-1,-1,-1,-1", "line 2: the record has 0 fields, but the first record has 2"},
        {"\"a\",\"b\"\n\"c\",\"d\n", "1,2,-1,-1,-1,-1", "line 2: a double quote opens a field that is never closed"},
        {"\"a\",\"b\"\n", "1,2,3,-1,-1,-1",
         "line 1: the first record has 2 fields, but field 3 is to give the username"},
        {std::string("\"a\"\n\"b\x07\x01\x05\"\n"), "1,-1,-1,-1,-1,-1", "line 2: a character that no entry may hold"},
        {"\"a\"\n\"\xC3\x28\"\n", "1,-1,-1,-1,-1,-1", "line 2: the text is not UTF-8"},
    };
    for (const auto& [content, map, problem] : cases) {
        WriteFileBytes(csv, content);
        const ProgramResult result = Run({"import", database.string(), csv.string(), "--map", map}, "");
        EXPECT_EQ(result.exitCode, 1) << problem;
        EXPECT_THAT(result.err, HasSubstr("lockmere-cli: " + csv.string() + ": " + problem)) << result.err;
    }
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(CliFaults, AnEmptyNewMasterPasswordNeedsAllowEmptyWithoutATerminal)
{
    const std::filesystem::path fresh = folder / "fresh.ldb";
    const ProgramResult refused = Run({"create", fresh.string()}, "\n\n");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_THAT(refused.err, HasSubstr("--allow-empty"));
    EXPECT_FALSE(std::filesystem::exists(fresh));

    const std::string before = ReadFileBytes(database);
    EXPECT_EQ(Run({"passwd", database.string()}, Master + "\n\n\n").exitCode, 1);
    EXPECT_EQ(ReadFileBytes(database), before);

    EXPECT_EQ(Run({"passwd", database.string(), "--allow-empty"}, Master + "\n\n\n").exitCode, 0);
    EXPECT_EQ(ReadEntries(database, "").size(), 2u);
}

TEST_F(CliFaults, ChangesAreConfirmedInOneLineUnlessQuiet)
{
    const std::filesystem::path other = folder / "other.ldb";
    Create(other, "o");
    const std::string db = database.string();
    const std::string csv = (folder / "out.csv").string();
    // Strong enough that no warning of an offline attack comes before the confirmation.
    const std::string strong = "tangerine quietly harbors seventeen velvet cartographers\n";
    const struct
    {
        std::vector<std::string> arguments;
        std::string input;
        std::string confirmation;
    } cases[] = {
        {{"create", (folder / "new.ldb").string()}, strong + strong, "Created " + (folder / "new.ldb").string() + "."},
        {{"add", db, "G", "T"}, Master + "\np\np\n", "Added G/T."},
        {{"edit", db, "G", "T", "--title", "U"}, Master + "\n", "Changed G/T, now G/U."},
        {{"rm", db, "G", "U"}, Master + "\n", "Removed G/U."},
        {{"merge", db, other.string()},
         Master + "\no\n",
         "Merged " + other.string() + " into " + db + ": 0 entries added."},
        {{"export", db, "--format", "csv", "-o", csv}, Master + "\n", "The CSV file is created: " + csv},
        {{"passwd", db}, Master + "\n" + strong + strong, "Re-keyed " + db + " with the new master password."},
    };
    for (const auto& [arguments, input, confirmation] : cases) {
        const ProgramResult result = Run(arguments, input);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "lockmere-cli: " + confirmation + "\n");
    }
    std::filesystem::remove(folder / "new.ldb");
    for (const std::string quiet : {"-q", "--quiet"}) {
        const ProgramResult result = Run({quiet, "create", (folder / "new.ldb").string()}, strong + strong);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "");
        std::filesystem::remove(folder / "new.ldb");
    }
}

// A value UTF-8 cannot hold stops the export before its first byte, whether it goes to standard output, which cannot
// take back what it was given, or to a file.
TEST_F(CliFaults, UnencodableValueStopsTheExportBeforeAnyByte)
{
    MessageRecorder quiet;
    BuiltinTextSource texts;
    CDataBase entries(quiet, texts);
    // More than a block of the export comes before the value.
    entries.Add({ToSecure(u"Web"), ToSecure(u"Bank")}, {{}, {}, {}, SecureString(100000, u'n')});
    entries.Add({ToSecure(u"Zeta"), ToSecure(u"half \xD83D pair")}, {});
    ASSERT_TRUE(WriteDatabase(entries, database, ToSecure(u"master")));
    const auto csv = folder / "out.csv";
    for (const bool toFile : {false, true}) {
        std::vector<std::string> arguments{"export", database.string(), "--format", "txt"};
        if (toFile) {
            arguments.insert(arguments.end(), {"-o", csv.string()});
        }
        const ProgramResult result = Run(arguments, Master + "\n");
        EXPECT_NE(result.exitCode, 0);
        EXPECT_EQ(result.out, "");
        EXPECT_THAT(result.err, HasSubstr("UTF-8 cannot represent; nothing was written."));
        EXPECT_FALSE(std::filesystem::exists(csv));
    }
}
