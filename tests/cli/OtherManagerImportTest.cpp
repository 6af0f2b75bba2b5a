#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CliRunner.h"
#include "core/database/DatabaseFile.h"
#include "core/importexport/OtherExport.h"
#include "support/MessageRecorder.h"

namespace {
class OtherManagerImportTest : public CliRunner
{
protected:
    void SetUp() override
    {
        CDataBase entries(recorder, texts);
        entries.Add({ToSecure(u"Web"), ToSecure(u"Bank")},
                    {ToSecure(u"ann"), ToSecure(u"s3,cret"), ToSecure(u"https://bank"), ToSecure(u"a \"q\"\r\nline")});
        entries.Add({ToSecure(u"Mail"), ToSecure(u"\u0416")}, {ToSecure(u"bob"), {}, {}, {}});
        ASSERT_TRUE(WriteDatabase(entries, database, ToSecure(u"master")));
    }

    MessageRecorder recorder;
    BuiltinTextSource texts;
};

TEST_F(OtherManagerImportTest, OurOwnExportComesBackThroughAutoWithTheSummary)
{
    const auto csv = folder / "export.csv";
    ASSERT_EQ(Run({"export", database.string(), "--format", "csv", "-o", csv.string()}, "master\n").exitCode, 0);
    const auto copy = folder / "copy.ldb";
    Create(copy, "other");

    // The summary goes where every command's confirmation goes, and -q keeps it quiet.
    const auto first = Run({"import", copy.string(), csv.string(), "--from", "auto"}, "other\n");
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "");
    EXPECT_EQ(first.err, "lockmere-cli: added 2, renamed 0, skipped 0\n");
    EXPECT_EQ(ReadEntries(copy, "other"), ReadEntries(database, "master"));

    const auto again = Run({"import", copy.string(), csv.string(), "--from=auto"}, "other\n");
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.err, "lockmere-cli: added 0, renamed 0, skipped 2\n");
    EXPECT_EQ(ReadEntries(copy, "other").size(), 2u);

    const auto added =
        Run({"-q", "import", copy.string(), csv.string(), "--from=auto", "--no-skip-identical"}, "other\n");
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out + added.err, "");
    EXPECT_EQ(ReadEntries(copy, "other").size(), 4u);
}

TEST_F(OtherManagerImportTest, RefusalsNameTheFileAndTheLineBeforeAnyPasswordIsAsked)
{
    struct Case
    {
        std::string file;
        std::string from;
        int exitCode;
        std::string error; // after "lockmere-cli: FILE: "; empty for a usage error
    };
    const std::string own = "\"Group\",\"Title\",\"Username\",\"Password\",\"URL/Path\",\"Notes\"\r\n";
    const std::vector<Case> cases = {
        {"title,login\nShop,bob\n", "auto", 1,
         "line 1: The first line of the file is not a header that this import knows. Known "
         "headers:\n\"Group\",\"Title\""},
        {"name,url,username,password\nShop,u,\"bob,pw\n", "chrome", 1,
         "The file has a quotation mark out of place in line 2. The file can not be imported."},
        {own + "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n\"a\",\"b\",\"c\"\r\n", "auto", 1,
         "line 3: the record has 3 fields, but the first record has 6"},
        {own + "\"a\",\"b\",\"c\",\"d\",\"e\",\"\xC3\"\r\n", "auto", 1,
         "line 2: The file is not UTF-8 text. The file can not be imported."},
        {"name,url,username,password\nShop,u,b,p\nShop,u,b,\"p\nq\x07\x01\x05\"\n", "chrome", 1,
         "line 4: Invalid characters detected. The file can not be imported."},
        {"name,url,username,password\n", "opera", 2, ""},
    };
    const auto csv = folder / "in.csv";
    const std::string before = ReadFileBytes(database);
    for (const Case& refused : cases) {
        WriteFileBytes(csv, refused.file);
        // No password on the input: the file is refused before one would be read.
        const auto result = Run({"import", database.string(), csv.string(), "--from", refused.from}, "");
        EXPECT_EQ(result.exitCode, refused.exitCode) << refused.file;
        if (!refused.error.empty()) {
            const std::string start = "lockmere-cli: " + csv.string() + ": " + refused.error;
            EXPECT_EQ(result.err.rfind(start, 0), 0u) << result.err;
        }
        EXPECT_TRUE(result.out.empty());
        EXPECT_EQ(ReadFileBytes(database), before);
    }
}

TEST_F(OtherManagerImportTest, EveryProgramsExportIsReadByItsNameAndByItsHeader)
{
    const std::filesystem::path exports =
        std::filesystem::path(LOCKMERE_SOURCE_DIR) / "tests" / "core" / "importexport" / "exports";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"keepassxc.csv", "keepassxc"},  {"bitwarden.csv", "bitwarden"}, {"bitwarden-organisation.csv", "bitwarden"},
        {"chrome.csv", "chrome"},        {"firefox.csv", "firefox"},     {"1password.csv", "1password"},
        {"lastpass.csv", "lastpass"},    {"apple.csv", "apple"},         {"dashlane.csv", "dashlane"},
        {"protonpass.csv", "protonpass"}};
    for (const auto& [file, name] : files) {
        for (const std::string& from : {name, std::string("auto")}) {
            const auto target = folder / (from + "-" + file + ".ldb");
            Create(target, "pw");
            const auto result = Run({"import", target.string(), (exports / file).string(), "--from", from}, "pw\n");
            EXPECT_EQ(result.exitCode, 0) << file << " " << from << ": " << result.err;
            EXPECT_EQ(result.err.rfind("lockmere-cli: added ", 0), 0u) << result.err;
            EXPECT_GE(ReadEntries(target, "pw").size(), 2u) << file;
        }
    }
}

TEST_F(OtherManagerImportTest, TheHelpOffersEveryProgramItReads)
{
    // Shell completion offers what the synopsis lists after --from, so a program missing there cannot be completed.
    std::string usage = Run({"import", "--help"}).out;
    usage = usage.substr(0, usage.find("\n\n"));
    for (const std::string_view name : CExportPreset::Names()) {
        EXPECT_THAT(usage,
                    ::testing::ContainsRegex("(--from[[:space:]]+|\\|)" + std::string(name) + "([[:space:]]|\\|)"))
            << name;
    }
}
} // namespace
