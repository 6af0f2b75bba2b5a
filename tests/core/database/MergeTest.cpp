#include <gtest/gtest.h>

#include "core/database/DatabaseFile.h"
#include "core/database/Merge.h"
#include "support/HandMadeFile.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
SecureString S(std::u16string_view text)
{
    return ToSecure(text);
}

EntryKey Key(std::u16string_view group, std::u16string_view title)
{
    return {S(group), S(title)};
}

EntryFields Fields(std::u16string_view username)
{
    return {S(username), S(u"pw " + std::u16string(username)), S(u"https://x"), S(u"notes")};
}

class MergeTest : public testing::Test
{
protected:
    // Writes a database file holding exactly these entries under the other file's password.
    void WriteOther(const std::vector<std::pair<EntryKey, EntryFields>>& entries)
    {
        CDataBase other(recorder, texts);
        for (const auto& [key, fields] : entries) {
            other.Add(key, fields);
        }
        ASSERT_TRUE(WriteDatabase(other, otherFile, otherPassword));
    }

    // A file whose records stand in the given order, which need not be key order.
    void WriteOtherInFileOrder(std::u16string_view plaintext)
    {
        WriteHandMadeFile(otherFile, plaintext, otherPassword);
    }

    std::vector<EntryKey> Keys() const
    {
        std::vector<EntryKey> keys;
        for (const auto& item : database) {
            keys.push_back(item.first);
        }
        return keys;
    }

    TempDir folder;
    std::filesystem::path otherFile = folder / "other.ldb";
    SecureString otherPassword = S(u"other secret");
    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database{recorder, texts};
};

TEST_F(MergeTest, TakenKeyIsAddedUnderANumberedTitleWithTheImportedFields)
{
    database.Add(Key(u"Web", u"Bank"), Fields(u"mine"));
    WriteOther({{Key(u"Web", u"Bank"), Fields(u"theirs")}, {Key(u"Mail", u"Box"), Fields(u"box")}});

    ASSERT_TRUE(MergeDatabase(database, otherFile, otherPassword));

    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(Keys(), (std::vector<EntryKey>{Key(u"Mail", u"Box"), Key(u"Web", u"Bank"), Key(u"Web", u"Bank1")}));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank"))->Fields(), Fields(u"mine"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank1"))->Fields(), Fields(u"theirs"));
    EXPECT_EQ(database.Find(Key(u"Mail", u"Box"))->Fields(), Fields(u"box"));
}

TEST_F(MergeTest, NumberingStartsFromEachRecordsOwnTitle)
{
    database.Add(Key(u"Web", u"Bank"), Fields(u"mine"));
    database.Add(Key(u"Web", u"Bank1"), Fields(u"mine 1"));
    WriteOther({{Key(u"Web", u"Bank"), Fields(u"theirs")}, {Key(u"Web", u"Bank1"), Fields(u"theirs 1")}});

    ASSERT_TRUE(MergeDatabase(database, otherFile, otherPassword));

    EXPECT_EQ(database.Size(), 4u);
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank"))->Fields(), Fields(u"mine"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank1"))->Fields(), Fields(u"mine 1"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank2"))->Fields(), Fields(u"theirs"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank11"))->Fields(), Fields(u"theirs 1"));
}

TEST_F(MergeTest, RecordsAreAddedInTheOrderTheyStandInTheFile)
{
    database.Add(Key(u"Web", u"Bank"), Fields(u"mine"));
    // Bank1 stands before Bank: it keeps its title, and Bank then has to go to Bank2.
    WriteOtherInFileOrder(u"Web\a\1\5Bank1\a\1\5first\a\1\5\a\1\5\a\1\5\a\1\5"
                          u"Web\a\1\5Bank\a\1\5second\a\1\5\a\1\5\a\1\5\a\1\5");

    ASSERT_TRUE(MergeDatabase(database, otherFile, otherPassword));

    EXPECT_EQ(database.Find(Key(u"Web", u"Bank1"))->username, S(u"first"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank2"))->username, S(u"second"));
    EXPECT_EQ(database.Size(), 3u);
}

TEST_F(MergeTest, EqualKeysInsideTheImportedFileAreAllKept)
{
    WriteOtherInFileOrder(u"G\a\1\5T\a\1\5one\a\1\5\a\1\5\a\1\5\a\1\5G\a\1\5T\a\1\5two\a\1\5\a\1\5\a\1\5\a\1\5");

    ASSERT_TRUE(MergeDatabase(database, otherFile, otherPassword));

    EXPECT_EQ(database.Find(Key(u"G", u"T"))->username, S(u"one"));
    EXPECT_EQ(database.Find(Key(u"G", u"T1"))->username, S(u"two"));
}

TEST_F(MergeTest, MergingADatabaseIntoItselfDoublesEveryEntry)
{
    database.Add(Key(u"Web", u"Bank"), Fields(u"a"));
    database.Add(Key(u"Mail", u"Box"), Fields(u"b"));
    const auto ownFile = folder / "own.ldb";
    const SecureString ownPassword = S(u"own");
    ASSERT_TRUE(WriteDatabase(database, ownFile, ownPassword));

    ASSERT_TRUE(MergeDatabase(database, ownFile, ownPassword));

    EXPECT_EQ(Keys(), (std::vector<EntryKey>{Key(u"Mail", u"Box"), Key(u"Mail", u"Box1"), Key(u"Web", u"Bank"),
                                             Key(u"Web", u"Bank1")}));
    EXPECT_EQ(database.Find(Key(u"Mail", u"Box1"))->Fields(), Fields(u"b"));
}

TEST_F(MergeTest, MergingTheSameFileTwiceDoublesItsEntries)
{
    WriteOther({{Key(u"Web", u"Bank"), Fields(u"x")}});

    ASSERT_TRUE(MergeDatabase(database, otherFile, otherPassword));
    ASSERT_TRUE(MergeDatabase(database, otherFile, otherPassword));

    EXPECT_EQ(Keys(), (std::vector<EntryKey>{Key(u"Web", u"Bank"), Key(u"Web", u"Bank1")}));
}

TEST_F(MergeTest, WrongPasswordIsReportedAndLeavesTheCollectionUnchanged)
{
    database.Add(Key(u"Web", u"Bank"), Fields(u"mine"));
    WriteOther({{Key(u"Mail", u"Box"), Fields(u"box")}});

    EXPECT_FALSE(MergeDatabase(database, otherFile, S(u"wrong")));

    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{u"Invalid password."});
    EXPECT_EQ(Keys(), std::vector<EntryKey>{Key(u"Web", u"Bank")});
}

TEST_F(MergeTest, MissingFileIsReportedWithTheReadersMessage)
{
    EXPECT_FALSE(MergeDatabase(database, folder / "missing.ldb", otherPassword));

    EXPECT_EQ(recorder.Texts(),
              std::vector<std::u16string>{u"An unknown file exception occurred when attempting to read the database."});
    EXPECT_TRUE(database.Empty());
}

TEST_F(MergeTest, EmptyDatabaseFileMergesNothing)
{
    WriteOther({});
    database.Add(Key(u"Web", u"Bank"), Fields(u"mine"));

    EXPECT_TRUE(MergeDatabase(database, otherFile, otherPassword));
    EXPECT_EQ(database.Size(), 1u);
}

TEST_F(MergeTest, SavedResultOpensWithTheOwnPasswordOnly)
{
    const auto ownFile = folder / "own.ldb";
    const SecureString ownPassword = S(u"own");
    database.Add(Key(u"Web", u"Bank"), Fields(u"mine"));
    WriteOther({{Key(u"Mail", u"Box"), Fields(u"box")}});
    ASSERT_TRUE(MergeDatabase(database, otherFile, otherPassword));
    ASSERT_TRUE(WriteDatabase(database, ownFile, ownPassword));

    CDataBase reopened(recorder, texts);
    EXPECT_EQ(ReadDatabase(reopened, ownFile, ownPassword), ReadResult::Done);
    EXPECT_EQ(reopened.Size(), 2u);
    CDataBase refused(recorder, texts);
    EXPECT_EQ(ReadDatabase(refused, ownFile, otherPassword), ReadResult::InvalidPassword);
}
} // namespace
