#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>

#include "platform/Trash.h"
#include "support/TempDir.h"

namespace {
TEST(TrashTest, AFileGoesToFilesWithItsOriginalPathInInfo)
{
    TempDir folder;
    const auto trashFolder = folder / "Trash";
    const auto file = folder / "db (Ann's conflicted copy).ldb";
    WriteFileBytes(file, "content");

    ASSERT_TRUE(Trash(trashFolder).MoveToTrash(file));

    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(ReadFileBytes(trashFolder / "files" / file.filename()), "content");
    const std::string info = ReadFileBytes(trashFolder / "info" / (file.filename().string() + ".trashinfo"));
    const std::string encodedFolder = folder.Path().string();
    EXPECT_TRUE(
        std::regex_match(info, std::regex("\\[Trash Info\\]\nPath=" + encodedFolder +
                                          "/db%20%28Ann%27s%20conflicted%20copy%29.ldb\n"
                                          "DeletionDate=[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\n")))
        << info;
}

TEST(TrashTest, ASecondFileOfTheSameNameGetsANameOfItsOwn)
{
    TempDir folder;
    const auto trashFolder = folder / "Trash";
    std::filesystem::create_directories(folder / "a");
    std::filesystem::create_directories(folder / "b");
    WriteFileBytes(folder / "a" / "db.ldb", "first");
    WriteFileBytes(folder / "b" / "db.ldb", "second");

    ASSERT_TRUE(Trash(trashFolder).MoveToTrash(folder / "a" / "db.ldb"));
    ASSERT_TRUE(Trash(trashFolder).MoveToTrash(folder / "b" / "db.ldb"));

    EXPECT_EQ(ReadFileBytes(trashFolder / "files" / "db.ldb"), "first");
    EXPECT_EQ(ReadFileBytes(trashFolder / "files" / "db.2.ldb"), "second");
    EXPECT_NE(ReadFileBytes(trashFolder / "info" / "db.2.ldb.trashinfo").find("/b/db.ldb\n"), std::string::npos);
}

TEST(TrashTest, ANameAnotherProgramClaimedBeforeMovingItsFileIsLeftToIt)
{
    TempDir folder;
    const auto trashFolder = folder / "Trash";
    std::filesystem::create_directories(trashFolder / "info");
    std::filesystem::create_directories(trashFolder / "files");
    // Another program has written its info file and not yet moved its file.
    WriteFileBytes(trashFolder / "info" / "db.ldb.trashinfo", "theirs");
    WriteFileBytes(folder / "db.ldb", "ours");

    ASSERT_TRUE(Trash(trashFolder).MoveToTrash(folder / "db.ldb"));

    EXPECT_EQ(ReadFileBytes(trashFolder / "info" / "db.ldb.trashinfo"), "theirs");
    EXPECT_FALSE(std::filesystem::exists(trashFolder / "files" / "db.ldb"));
    EXPECT_EQ(ReadFileBytes(trashFolder / "files" / "db.2.ldb"), "ours");
    EXPECT_NE(ReadFileBytes(trashFolder / "info" / "db.2.ldb.trashinfo").find("/db.ldb\n"), std::string::npos);
}

TEST(TrashTest, AnInfoFolderThatCannotBeWrittenLeavesTheFileWhereItIs)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into any folder";
    }
    TempDir folder;
    const auto trashFolder = folder / "Trash";
    std::filesystem::create_directories(trashFolder / "info");
    std::filesystem::create_directories(trashFolder / "files");
    std::filesystem::permissions(trashFolder / "info",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    WriteFileBytes(folder / "db.ldb", "ours");

    EXPECT_FALSE(Trash(trashFolder).MoveToTrash(folder / "db.ldb"));

    std::filesystem::permissions(trashFolder / "info", std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadFileBytes(folder / "db.ldb"), "ours");
    EXPECT_TRUE(std::filesystem::is_empty(trashFolder / "info"));
}

TEST(TrashTest, AMissingFileIsReportedAndLeavesNoInfoBehind)
{
    TempDir folder;
    EXPECT_FALSE(Trash(folder / "Trash").MoveToTrash(folder / "missing.ldb"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Trash" / "info" / "missing.ldb.trashinfo"));
}

TEST(TrashTest, PathsOutsideTheUnreservedCharactersArePercentEncoded)
{
    EXPECT_EQ(TrashInfoText("/home/ann/Pass wörter/a%b.ldb", "2024-01-02T03:04:05"),
              "[Trash Info]\nPath=/home/ann/Pass%20w%C3%B6rter/a%25b.ldb\nDeletionDate=2024-01-02T03:04:05\n");
}
} // namespace
