#include <gtest/gtest.h>

#include "core/database/ConflictCopies.h"
#include "core/database/DatabaseFile.h"
#include "core/database/Synchronize.h"
#include "support/EntryBuilder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
struct SyncCase
{
    const char* name;
    std::vector<Entry> ours;
    std::vector<Entry> other;
    std::vector<Entry> result;
    std::size_t added;
    std::size_t identical;
    std::vector<std::u16string> keptBothTitles;
};

const Entry Bank = MakeEntry(u"Web", u"Bank", u"ann", u"pw", u"https://bank", u"notes");

const SyncCase SyncCases[] = {
    {"OnlyInTheOtherIsAdded", {Bank}, {Bank, MakeEntry(u"Mail", u"Box")}, {MakeEntry(u"Mail", u"Box"), Bank}, 1, 1, {}},
    {"IdenticalInAllSixFieldsIsSkipped", {Bank}, {Bank}, {Bank}, 0, 1, {}},
    {"OnlyInOursStays", {Bank, MakeEntry(u"Mail", u"Box")}, {}, {MakeEntry(u"Mail", u"Box"), Bank}, 0, 0, {}},
    {"ADifferenceInAnyFieldKeepsBoth",
     {Bank},
     {MakeEntry(u"Web", u"Bank", u"ann", u"pw", u"https://bank", u"other notes")},
     {Bank, MakeEntry(u"Web", u"Bank1", u"ann", u"pw", u"https://bank", u"other notes")},
     0,
     0,
     {u"Bank1"}},
    {"KeptBothTakesTheNextFreeNumber",
     {Bank, MakeEntry(u"Web", u"Bank1")},
     {MakeEntry(u"Web", u"Bank", u"other"), MakeEntry(u"Web", u"Bank1")},
     {Bank, MakeEntry(u"Web", u"Bank1"), MakeEntry(u"Web", u"Bank2", u"other")},
     0,
     1,
     {u"Bank2"}},
    {"CaseMakesAnotherKey", {Bank}, {MakeEntry(u"Web", u"bank")}, {Bank, MakeEntry(u"Web", u"bank")}, 1, 0, {}},
};

class SynchronizeTest : public testing::TestWithParam<SyncCase>
{
protected:
    MessageRecorder messages;
    BuiltinTextSource texts;
};

TEST_P(SynchronizeTest, LosesNothingOfEitherSide)
{
    const SyncCase& given = GetParam();
    CDataBase ours(messages, texts);
    CDataBase other(messages, texts);
    for (const Entry& entry : given.ours) {
        ours.Insert(entry.Key(), entry.Fields());
    }
    for (const Entry& entry : given.other) {
        other.Insert(entry.Key(), entry.Fields());
    }

    const SyncSummary summary = Synchronize(ours, other);

    EXPECT_EQ(EntriesOf(ours), given.result);
    EXPECT_EQ(summary.added, given.added);
    EXPECT_EQ(summary.identical, given.identical);
    std::vector<std::u16string> keptBoth;
    for (const EntryKey& key : summary.keptBoth) {
        keptBoth.push_back(FromSecure(key.title));
    }
    EXPECT_EQ(keptBoth, given.keptBothTitles);
    EXPECT_TRUE(messages.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SynchronizeTest, testing::ValuesIn(SyncCases),
                         [](const testing::TestParamInfo<SyncCase>& info) { return std::string(info.param.name); });

TEST(SynchronizeFileTest, ReadsTheOtherFileUnderItsOwnPasswordAndSaysWhatItDid)
{
    TempDir folder;
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase other(messages, texts);
    other.Insert(MakeEntry(u"Mail", u"Box").Key(), {});
    other.Insert(Bank.Key(), MakeEntry(u"Web", u"Bank", u"changed").Fields());
    ASSERT_TRUE(WriteDatabase(other, folder / "copy.ldb", ToSecure(u"other")));
    CDataBase ours(messages, texts);
    ours.Insert(Bank.Key(), Bank.Fields());

    SyncSummary summary;
    EXPECT_EQ(SynchronizeFile(ours, folder / "copy.ldb", ToSecure(u"wrong"), summary), ReadResult::InvalidPassword);
    EXPECT_EQ(ours.Size(), 1u);
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{u"Invalid password."});

    ASSERT_EQ(SynchronizeFile(ours, folder / "copy.ldb", ToSecure(u"other"), summary), ReadResult::Done);
    EXPECT_EQ(ours.Size(), 3u);
    EXPECT_EQ(SyncSummaryText(summary, texts),
              u"Synchronization finished. Added: 1, identical: 0, kept both: 1.\n\nKept both; the other file's entry "
              u"is under the title shown:\nWeb / Bank1");
}

struct CopyName
{
    const char* candidate;
    bool isCopy;
};

class ConflictCopyNameTest : public testing::TestWithParam<CopyName>
{};

TEST_P(ConflictCopyNameTest, KnowsTheNamesSyncToolsGiveTheirCopies)
{
    EXPECT_EQ(IsConflictCopyName("lockmere.ldb", GetParam().candidate), GetParam().isCopy) << GetParam().candidate;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ConflictCopyNameTest,
    testing::Values(CopyName{"lockmere.sync-conflict-20240101-120000-ABCDEFG.ldb", true},
                    CopyName{"lockmere (Ann's conflicted copy 2024-01-01).ldb", true},
                    CopyName{"lockmere (conflicted copy 2024-01-01 120000).ldb", true},
                    CopyName{"lockmere (Case Conflict).ldb", true}, CopyName{"lockmere (Case Conflict 1).ldb", true},
                    CopyName{"lockmere (CONFLICTED COPY).ldb", true}, CopyName{"lockmere.ldb", false},
                    CopyName{"lockmere.ldb.bak", false}, CopyName{"lockmere (copy).ldb", false},
                    CopyName{"other (conflicted copy).ldb", false}, CopyName{"lockmere2 (conflicted copy).ldb", false},
                    CopyName{"lockmere.sync-conflict-1.ldb.bak", false},
                    CopyName{"lockmere (conflicted copy).ldb.tmp", false}));

TEST(FindConflictCopiesTest, ListsTheRegularFilesBesideTheDatabaseInNameOrder)
{
    TempDir folder;
    for (const char* name : {"db.ldb", "db.sync-conflict-2.ldb", "db (Ann's conflicted copy).ldb", "other.ldb",
                             "db.sync-conflict-1.ldb"}) {
        WriteFileBytes(folder / name, "x");
    }
    std::filesystem::create_directory(folder / "db (Case Conflict).ldb");

    EXPECT_EQ(
        FindConflictCopies(folder / "db.ldb"),
        (std::vector<std::filesystem::path>{folder / "db (Ann's conflicted copy).ldb",
                                            folder / "db.sync-conflict-1.ldb", folder / "db.sync-conflict-2.ldb"}));
    EXPECT_TRUE(FindConflictCopies(folder / "gone" / "db.ldb").empty());
}
} // namespace
