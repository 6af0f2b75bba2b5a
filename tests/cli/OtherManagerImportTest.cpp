#include <gtest/gtest.h>

#include "CliRunner.h"
#include "core/database/DatabaseFile.h"
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

    const auto first = Run({"import", copy.string(), csv.string(), "--from", "auto"}, "other\n");
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "added 2, renamed 0, skipped 0\n");
    EXPECT_EQ(ReadEntries(copy, "other"), ReadEntries(database, "master"));

    const auto again = Run({"import", copy.string(), csv.string(), "--from=auto"}, "other\n");
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, "added 0, renamed 2, skipped 0\n");
    EXPECT_EQ(ReadEntries(copy, "other").size(), 4u);
}

TEST_F(OtherManagerImportTest, RefusalsLeaveTheDatabaseFileUnchanged)
{
    struct Case
    {
        std::string file;
        std::string from;
        int exitCode;
        std::string errorStart;
    };
    const std::vector<Case> cases = {
        {"title,login\nShop,bob\n", "auto", 1,
         "lockmere-cli: The first line of the file is not a header that this import knows. Known "
         "headers:\n\"Group\",\"Title\""},
        {"name,url,username,password\nShop,u,\"bob,pw\n", "chrome", 1,
         "lockmere-cli: The file has a quotation mark out of place in line 2. The file can not be imported."},
        {"name,url,username,password\n", "opera", 2, ""},
    };
    const auto csv = folder / "in.csv";
    const std::string before = ReadFileBytes(database);
    for (const Case& refused : cases) {
        WriteFileBytes(csv, refused.file);
        const auto result = Run({"import", database.string(), csv.string(), "--from", refused.from}, "master\n");
        EXPECT_EQ(result.exitCode, refused.exitCode) << refused.file;
        EXPECT_EQ(result.err.rfind(refused.errorStart, 0), 0u) << result.err;
        EXPECT_TRUE(result.out.empty());
        EXPECT_EQ(ReadFileBytes(database), before);
    }
}
} // namespace
