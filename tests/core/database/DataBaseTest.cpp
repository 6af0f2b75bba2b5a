#include <gtest/gtest.h>

#include "core/database/DataBase.h"
#include "core/settings/BuiltinTexts.h"
#include "support/MessageRecorder.h"

namespace {
EntryKey Key(std::u16string_view group, std::u16string_view title)
{
    return {ToSecure(group), ToSecure(title)};
}

EntryFields Fields(std::u16string_view password = u"")
{
    return {ToSecure(u"user"), ToSecure(password), ToSecure(u"url"), ToSecure(u"notes")};
}

class DataBaseTest : public testing::Test
{
protected:
    std::vector<EntryKey> Keys() const
    {
        std::vector<EntryKey> keys;
        for (const auto& item : database) {
            keys.push_back(item.first);
        }
        return keys;
    }

    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database{recorder, texts};
    const std::u16string duplicateMessage{BuiltinText(TextId::DuplicateEntry)};
};

TEST_F(DataBaseTest, IteratesByGroupThenTitleInCodeUnitOrder)
{
    database.Add(Key(u"Mail", u"b"), Fields());
    database.Add(Key(u"Mail", u"A"), Fields());
    database.Add(Key(u"", u"x"), Fields());
    database.Add(Key(u"mail", u"a"), Fields());

    EXPECT_EQ(Keys(),
              (std::vector<EntryKey>{Key(u"", u"x"), Key(u"Mail", u"A"), Key(u"Mail", u"b"), Key(u"mail", u"a")}));
}

TEST_F(DataBaseTest, ComparesCodeUnitsAsUnsignedNumbers)
{
    database.Add(Key(u"g", u"\xFFFF"), Fields());
    database.Add(Key(u"g", u"\U0001F600"), Fields()); // surrogates 0xD83D 0xDE00 sort below 0xFFFF
    database.Add(Key(u"g", u"ab"), Fields());
    database.Add(Key(u"g", u"a"), Fields());

    EXPECT_EQ(Keys(), (std::vector<EntryKey>{Key(u"g", u"a"), Key(u"g", u"ab"), Key(u"g", u"\U0001F600"),
                                             Key(u"g", u"\xFFFF")}));
}

TEST_F(DataBaseTest, EmptyGroupAndTitleIsAValidEntryThatSortsFirst)
{
    database.Add(Key(u"A", u"A"), Fields());
    EXPECT_TRUE(database.Add(Key(u"", u""), Fields()));
    EXPECT_EQ(Keys().front(), Key(u"", u""));
}

TEST_F(DataBaseTest, AddRefusesATakenKeyWithTheDuplicateMessage)
{
    ASSERT_TRUE(database.Add(Key(u"Web", u"Shop"), Fields(u"first")));

    EXPECT_FALSE(database.Add(Key(u"Web", u"Shop"), Fields(u"second")));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{duplicateMessage});
    EXPECT_EQ(database.Find(Key(u"Web", u"Shop"))->password, ToSecure(u"first"));

    recorder.Reset();
    EXPECT_TRUE(database.Add(Key(u"Web", u"shop"), Fields()));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(database.Size(), 2u);
}

TEST_F(DataBaseTest, ReplaceKeepingTheKeyChangesTheFields)
{
    database.Add(Key(u"Web", u"Shop"), Fields(u"old"));

    EXPECT_TRUE(database.Replace(Key(u"Web", u"Shop"), Key(u"Web", u"Shop"), Fields(u"new")));
    EXPECT_EQ(database.Find(Key(u"Web", u"Shop"))->password, ToSecure(u"new"));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(DataBaseTest, ReplaceRenamesToAFreeKey)
{
    database.Add(Key(u"Web", u"Shop"), Fields(u"p"));

    EXPECT_TRUE(database.Replace(Key(u"Mail", u"Shop"), Key(u"Web", u"Shop"), Fields(u"p")));
    EXPECT_FALSE(database.Find(Key(u"Web", u"Shop")));
    EXPECT_TRUE(database.Find(Key(u"Mail", u"Shop")));
}

TEST_F(DataBaseTest, ReplaceOntoAnotherEntrysKeyIsRefusedAndChangesNothing)
{
    database.Add(Key(u"Web", u"Shop"), Fields(u"shop"));
    database.Add(Key(u"Web", u"Bank"), Fields(u"bank"));

    EXPECT_FALSE(database.Replace(Key(u"Web", u"Bank"), Key(u"Web", u"Shop"), Fields(u"changed")));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{duplicateMessage});
    EXPECT_EQ(database.Find(Key(u"Web", u"Shop"))->password, ToSecure(u"shop"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank"))->password, ToSecure(u"bank"));
}

TEST_F(DataBaseTest, ReplaceOfAMissingKeyReportsNoMatch)
{
    EXPECT_FALSE(database.Replace(Key(u"Web", u"Shop"), Key(u"Web", u"Gone"), Fields()));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{u"Error. Match is not found for the key."});
    EXPECT_TRUE(database.Empty());
}

TEST_F(DataBaseTest, RemoveCountsWhatWasRemoved)
{
    database.Add(Key(u"Web", u"Shop"), Fields());
    EXPECT_EQ(database.Remove(Key(u"Web", u"Shop")), 1u);
    EXPECT_EQ(database.Remove(Key(u"Web", u"Shop")), 0u);
}

TEST_F(DataBaseTest, FindReturnsAllSixFields)
{
    database.Add(Key(u"Web", u"Shop"), {ToSecure(u"u"), ToSecure(u"p"), ToSecure(u"l"), ToSecure(u"n")});
    const auto entry = database.Find(Key(u"Web", u"Shop"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(*entry, Entry(ToSecure(u"Web"), ToSecure(u"Shop"), ToSecure(u"u"), ToSecure(u"p"), ToSecure(u"l"),
                            ToSecure(u"n")));
    EXPECT_FALSE(database.Find(Key(u"Web", u"shop")));
}

TEST_F(DataBaseTest, ClearEmptiesTheCollection)
{
    database.Add(Key(u"a", u"b"), Fields());
    database.Clear();
    EXPECT_TRUE(database.Empty());
}

class AddRenamingTest : public DataBaseTest
{};

TEST_F(AddRenamingTest, UsesTheKeyWhenItIsFree)
{
    database.AddRenaming(Key(u"Web", u"Bank"), Fields());
    EXPECT_EQ(Keys(), std::vector<EntryKey>{Key(u"Web", u"Bank")});
}

TEST_F(AddRenamingTest, AppendsTheFirstFreeNumberToTheTitleAndKeepsTheExistingEntries)
{
    database.Add(Key(u"Web", u"Bank"), Fields(u"original"));
    database.Add(Key(u"Web", u"Bank1"), Fields(u"one"));

    database.AddRenaming(Key(u"Web", u"Bank"), Fields(u"imported"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank2"))->password, ToSecure(u"imported"));

    database.AddRenaming(Key(u"Web", u"Bank"), Fields(u"again"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank3"))->password, ToSecure(u"again"));

    EXPECT_EQ(database.Find(Key(u"Web", u"Bank"))->password, ToSecure(u"original"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank1"))->password, ToSecure(u"one"));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(AddRenamingTest, StartsEachAttemptFromTheUnchangedTitle)
{
    database.Add(Key(u"Web", u"Bank"), Fields());
    database.Add(Key(u"Web", u"Bank1"), Fields());
    database.AddRenaming(Key(u"Web", u"Bank1"), Fields(u"x"));
    // Bank1 is taken, so the first try is Bank11, never Bank12.
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank11"))->password, ToSecure(u"x"));
}

TEST_F(AddRenamingTest, AlwaysTakesTheFirstFreeNumberAlsoAfterAKeyWasFreed)
{
    for (int i = 0; i < 4; ++i) {
        database.AddRenaming(Key(u"Web", u"Bank"), Fields());
    }
    ASSERT_TRUE(database.Find(Key(u"Web", u"Bank3")));
    database.Remove(Key(u"Web", u"Bank1"));
    database.AddRenaming(Key(u"Web", u"Bank"), Fields(u"fills the gap"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank1"))->password, ToSecure(u"fills the gap"));

    database.Replace(Key(u"Web", u"Other"), Key(u"Web", u"Bank2"), Fields());
    database.AddRenaming(Key(u"Web", u"Bank"), Fields(u"after a rename"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank2"))->password, ToSecure(u"after a rename"));

    database.Clear();
    database.Add(Key(u"Web", u"Bank"), Fields());
    database.AddRenaming(Key(u"Web", u"Bank"), Fields(u"after clearing"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank1"))->password, ToSecure(u"after clearing"));
}

TEST_F(DataBaseTest, EntryAtCountsPositionsFromOneAfterTheBase)
{
    database.Add(Key(u"b", u"1"), Fields());
    database.Add(Key(u"a", u"1"), Fields());

    EXPECT_FALSE(database.EntryAt(40100, 40100));
    EXPECT_EQ(database.EntryAt(40101, 40100)->group, ToSecure(u"a"));
    EXPECT_EQ(database.EntryAt(40102, 40100)->group, ToSecure(u"b"));
    EXPECT_FALSE(database.EntryAt(40103, 40100));
    EXPECT_FALSE(database.EntryAt(100, 40100));
}

TEST_F(DataBaseTest, CollectGroupsAppendsNewGroupsInKeyOrderAfterThePrefilledOnes)
{
    database.Add(Key(u"Work", u"1"), Fields());
    database.Add(Key(u"Email", u"1"), Fields());
    database.Add(Key(u"Bank", u"1"), Fields());
    database.Add(Key(u"Bank", u"2"), Fields());
    database.Add(Key(u"email", u"1"), Fields());
    // Groups that begin with another group's name are groups of their own.
    database.Add(Key(u"Ban", u"9"), Fields());
    database.Add(Key(u"Bankx", u""), Fields());

    std::vector<std::u16string> groups{u"Windows", u"Email"};
    database.CollectGroups(groups);
    EXPECT_EQ(groups,
              (std::vector<std::u16string>{u"Windows", u"Email", u"Ban", u"Bank", u"Bankx", u"Work", u"email"}));
}
} // namespace
