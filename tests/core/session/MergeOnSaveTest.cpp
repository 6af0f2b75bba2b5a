#include "SyncedFolderFixture.h"
#include "core/database/FileReplacedCheck.h"
#include "core/settings/BuiltinTexts.h"

namespace {
const Entry Bank = MakeEntry(u"Web", u"Bank", u"ann");
const Entry Box = MakeEntry(u"Mail", u"Box", u"bob");

// One change made by the other machine and one made here, between our read and our save.
struct SaveCase
{
    const char* name;
    std::vector<Entry> theirs;
    std::function<ChangeResult(DatabaseSession&)> ours;
    std::vector<Entry> expected;
    // Whether the user is told of entries kept twice.
    bool conflictsReported;
};

const SaveCase SaveCases[] = {
    {"EachAddsAnEntry",
     {Bank, Box, MakeEntry(u"Cli", u"Theirs")},
     [](DatabaseSession& session) {
         return session.AddEntry(MakeEntry(u"Gui", u"Ours").Key(), MakeEntry(u"Gui", u"Ours").Fields());
     },
     {MakeEntry(u"Cli", u"Theirs"), MakeEntry(u"Gui", u"Ours"), Box, Bank},
     false},
    {"TheyEditOneWeEditAnother",
     {MakeEntry(u"Web", u"Bank", u"ann2"), Box},
     [](DatabaseSession& session) {
         return session.ReplaceEntry(Box.Key(), Box.Key(), MakeEntry(u"Mail", u"Box", u"bob2").Fields());
     },
     {MakeEntry(u"Mail", u"Box", u"bob2"), MakeEntry(u"Web", u"Bank", u"ann2")},
     false},
    {"BothEditTheSameEntry",
     {MakeEntry(u"Web", u"Bank", u"theirs"), Box},
     [](DatabaseSession& session) {
         return session.ReplaceEntry(Bank.Key(), Bank.Key(), MakeEntry(u"Web", u"Bank", u"ours").Fields());
     },
     {Box, MakeEntry(u"Web", u"Bank", u"theirs"), MakeEntry(u"Web", u"Bank1", u"ours")},
     true},
    {"TheyRemoveWhatWeEdit",
     {Box},
     [](DatabaseSession& session) {
         return session.ReplaceEntry(Bank.Key(), Bank.Key(), MakeEntry(u"Web", u"Bank", u"ours").Fields());
     },
     {Box, MakeEntry(u"Web", u"Bank", u"ours")},
     false},
    {"WeRemoveWhatTheyEdit",
     {MakeEntry(u"Web", u"Bank", u"theirs"), Box},
     [](DatabaseSession& session) { return session.RemoveEntry(Bank.Key()); },
     {Box, MakeEntry(u"Web", u"Bank", u"theirs")},
     false},
    {"WeRemoveWhatTheyLeft",
     {Bank, Box, MakeEntry(u"Cli", u"Theirs")},
     [](DatabaseSession& session) { return session.RemoveEntry(Bank.Key()); },
     {MakeEntry(u"Cli", u"Theirs"), Box},
     false},
    {"WeRenameWhatTheyLeft",
     {Bank, MakeEntry(u"Mail", u"Box", u"bob2")},
     [](DatabaseSession& session) {
         return session.ReplaceEntry(Bank.Key(), MakeEntry(u"Web", u"Savings").Key(), Bank.Fields());
     },
     {MakeEntry(u"Mail", u"Box", u"bob2"), MakeEntry(u"Web", u"Savings", u"ann")},
     false},
    {"BothAddTheSameKeyDifferently",
     {Bank, Box, MakeEntry(u"New", u"Key", u"theirs")},
     [](DatabaseSession& session) {
         return session.AddEntry(MakeEntry(u"New", u"Key").Key(), MakeEntry(u"New", u"Key", u"ours").Fields());
     },
     {Box, MakeEntry(u"New", u"Key", u"theirs"), MakeEntry(u"New", u"Key1", u"ours"), Bank},
     true},
};

class MergeOnSaveTest : public SyncedFolderTest, public testing::WithParamInterface<SaveCase>
{};

TEST_P(MergeOnSaveTest, BothChangesEndUpInTheFileAndTheWindow)
{
    const SaveCase& given = GetParam();
    handle.beforeEachWrite.push_back([&] { ReplaceByRename(given.theirs); });

    EXPECT_EQ(given.ours(session), ChangeResult::Saved);

    EXPECT_EQ(FileEntries(), given.expected);
    EXPECT_EQ(EntriesOf(database), given.expected);
    EXPECT_EQ(messages.messages.size(), given.conflictsReported ? 1u : 0u);
    if (given.conflictsReported) {
        EXPECT_NE(messages.messages[0].text.find(texts.Text(TextId::MergeKeptBoth)), std::u16string::npos);
    }
    EXPECT_TRUE(handle.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Cases, MergeOnSaveTest, testing::ValuesIn(SaveCases),
                         [](const testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

TEST_F(SyncedFolderTest, TheConflictReportNamesEachEntryKeptTwice)
{
    handle.beforeEachWrite.push_back([&] {
        ReplaceByRename({MakeEntry(u"Web", u"Bank", u"theirs"), MakeEntry(u"Mail", u"Box", u"theirs")});
    });
    ASSERT_EQ(session.ImportEntries([](CDataBase& into) {
        into.Replace(Bank.Key(), Bank.Key(), MakeEntry(u"Web", u"Bank", u"ours").Fields());
        into.Replace(Box.Key(), Box.Key(), MakeEntry(u"Mail", u"Box", u"ours").Fields());
        return true;
    }),
              ChangeResult::Saved);

    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find(u"\nMail / Box \u2192 Box1"), std::u16string::npos);
    EXPECT_NE(messages.messages[0].text.find(u"\nWeb / Bank \u2192 Bank1"), std::u16string::npos);
    EXPECT_EQ(FileEntries().size(), 4u);
}

TEST_F(SyncedFolderTest, LaterSavesMergeFromWhatWasLastWritten)
{
    ASSERT_EQ(session.AddEntry(MakeEntry(u"A", u"First").Key(), {}), ChangeResult::Saved);
    handle.beforeEachWrite.push_back([&] { ReplaceByRename({Bank, Box, MakeEntry(u"A", u"First")}); });
    handle.beforeEachWrite.push_back([] {});
    ASSERT_EQ(session.RemoveEntry(MakeEntry(u"A", u"First").Key()), ChangeResult::Saved);
    // The other machine's version was merged: removing the entry there again is no change of theirs.
    handle.beforeEachWrite.push_back([&] { ReplaceByRename({Bank, Box, MakeEntry(u"Cli", u"Later")}); });
    ASSERT_EQ(session.AddEntry(MakeEntry(u"A", u"Second").Key(), {}), ChangeResult::Saved);

    EXPECT_EQ(FileEntries(), (std::vector<Entry>{MakeEntry(u"A", u"Second"), MakeEntry(u"Cli", u"Later"), Box, Bank}));
}

TEST_F(SyncedFolderTest, AVersionUnderAnotherPasswordIsNeitherMergedNorWrittenOver)
{
    std::string theirs;
    handle.beforeEachWrite.push_back([&] {
        ReplaceByRename({MakeEntry(u"Other", u"Password")}, u"new");
        theirs = ReadFileBytes(path);
    });

    const Entry added = MakeEntry(u"Gui", u"Ours");
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::NotSaved);

    EXPECT_EQ(ReadFileBytes(path), theirs);
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{texts.Text(TextId::SaveRefusedOtherPassword)});
    EXPECT_EQ(EntriesOf(database), (std::vector<Entry>{Box, Bank}));
}

TEST_F(SyncedFolderTest, ADamagedVersionIsNeitherMergedNorWrittenOver)
{
    std::string theirs;
    handle.beforeEachWrite.push_back([&] {
        WritePlaintext(path, u"Web" + Terminator() + u"Bank" + Terminator() + u"u" + Terminator() + u"p" +
                                 Terminator() + u"url" + Terminator() + u"n" + Terminator() + u"Web" + Terminator() +
                                 u"Half");
        theirs = ReadFileBytes(path);
    });
    const Entry added = MakeEntry(u"Gui", u"Ours");
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::NotSaved);

    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text.rfind(texts.Text(TextId::SaveRefusedUnreadable), 0), 0u);
    EXPECT_NE(messages.messages[0].text.find(texts.Text(TextId::OtherVersionDamaged)), std::u16string::npos);
    EXPECT_EQ(ReadFileBytes(path), theirs);
    EXPECT_EQ(EntriesOf(database), (std::vector<Entry>{Box, Bank}));
}

TEST_F(SyncedFolderTest, AToolThatNeverStopsWritingEndsTheSaveAfterAFewTries)
{
    int writes = 0;
    handle.keepWriting = true;
    handle.beforeEachWrite.push_back([&] {
        ++writes;
        ReplaceByRename({Bank, Box, MakeEntry(u"Tool", u"Write " + ToU16(static_cast<unsigned>(writes)))});
    });
    const Entry added = MakeEntry(u"Gui", u"Ours");
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::NotSaved);
    handle.keepWriting = false;
    handle.beforeEachWrite.clear();

    EXPECT_LE(writes, 5);
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{FileReplacedMessage});
    // What the window shows is a version the file held, and the next save merges from it without losing the tool's.
    const std::vector<Entry> shown = EntriesOf(database);
    EXPECT_FALSE(database.Find(added.Key()));
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::Saved);
    const std::vector<Entry> saved = FileEntries();
    EXPECT_TRUE(std::find(saved.begin(), saved.end(), added) != saved.end());
    EXPECT_TRUE(std::find(saved.begin(), saved.end(),
                          MakeEntry(u"Tool", u"Write " + ToU16(static_cast<unsigned>(writes)))) != saved.end());
    EXPECT_EQ(saved.size(), shown.size() + 1);
}

TEST_F(SyncedFolderTest, AMergedSaveThatFailsShowsTheFilesVersionAgain)
{
    handle.beforeEachWrite.push_back([&] { ReplaceByRename({Bank, Box, MakeEntry(u"Cli", u"Theirs")}); });
    // The merged collection cannot be written: something that is no file took the path's place.
    handle.beforeEachWrite.push_back([&] {
        std::filesystem::remove(path);
        std::filesystem::create_directory(path);
    });
    const Entry added = MakeEntry(u"Gui", u"Ours");
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::NotSaved);

    EXPECT_EQ(EntriesOf(database), (std::vector<Entry>{MakeEntry(u"Cli", u"Theirs"), Box, Bank}));
    std::filesystem::remove(path);
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::Saved);
    EXPECT_EQ(FileEntries(), (std::vector<Entry>{MakeEntry(u"Cli", u"Theirs"), added, Box, Bank}));
}

TEST_F(SyncedFolderTest, AChangeThatCannotBeStoredIsUndoneAndTheNextSaveStillMerges)
{
    handle.beforeEachWrite.push_back([&] { ReplaceByRename({Bank, Box, MakeEntry(u"Cli", u"Theirs")}); });
    const Entry unstorable = MakeEntry(u"Gui", u"Bad", u"", u"", u"", FieldTerminatorView);
    EXPECT_EQ(session.AddEntry(unstorable.Key(), unstorable.Fields()), ChangeResult::NotSaved);
    EXPECT_EQ(EntriesOf(database), (std::vector<Entry>{Box, Bank}));

    const Entry good = MakeEntry(u"Gui", u"Good");
    EXPECT_EQ(session.AddEntry(good.Key(), good.Fields()), ChangeResult::Saved);
    EXPECT_EQ(FileEntries(), (std::vector<Entry>{MakeEntry(u"Cli", u"Theirs"), good, Box, Bank}));
}

TEST_F(SyncedFolderTest, ChangingThePasswordKeepsTheOtherMachinesEntries)
{
    handle.beforeEachWrite.push_back([&] { ReplaceByRename({Bank, Box, MakeEntry(u"Cli", u"Theirs")}); });
    prompts.Password(u"pw");
    prompts.NewPassword(u"new");
    session.ChangeMasterPassword();

    EXPECT_EQ(session.MasterPassword(), ToSecure(u"new"));
    EXPECT_EQ(FileEntries(u"new"), (std::vector<Entry>{MakeEntry(u"Cli", u"Theirs"), Box, Bank}));
}
} // namespace
