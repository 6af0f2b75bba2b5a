#include "SyncedFolderFixture.h"
#include "core/session/SessionTicket.h"
#include "core/settings/BuiltinTexts.h"

namespace {
const Entry Bank = MakeEntry(u"Web", u"Bank", u"ann");
const Entry Box = MakeEntry(u"Mail", u"Box", u"bob");
const Entry Added = MakeEntry(u"Cli", u"Added elsewhere", u"carl");

// How another program brings its version: replaced by rename, or rewritten in place.
struct ChangeWay
{
    const char* name;
    bool byRename;
};

class FollowFileTest : public SyncedFolderTest, public testing::WithParamInterface<ChangeWay>
{
protected:
    void ChangeElsewhere(const std::vector<Entry>& entries)
    {
        if (GetParam().byRename) {
            ReplaceByRename(entries);
        } else {
            RewriteInPlace(entries);
        }
    }
};

TEST_P(FollowFileTest, WhileOpenTheNewVersionIsShownWithANote)
{
    ChangeElsewhere({Added, Box});

    EXPECT_EQ(session.FollowFile(), FollowResult::Reloaded);

    EXPECT_EQ(EntriesOf(database), (std::vector<Entry>{Added, Box}));
    EXPECT_EQ(view.notes, std::vector<std::u16string>{texts.Text(TextId::FollowedFileNote)});
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(session.FollowFile(), FollowResult::Unchanged);

    // The version shown is the one held: the next change saves over it without a merge.
    const Entry mine = MakeEntry(u"Gui", u"Mine");
    EXPECT_EQ(session.AddEntry(mine.Key(), mine.Fields()), ChangeResult::Saved);
    EXPECT_EQ(FileEntries(), (std::vector<Entry>{Added, mine, Box}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_P(FollowFileTest, WhileLockedNothingIsReadUntilTheUnlock)
{
    session.Lock();
    ChangeElsewhere({Added, Bank});

    EXPECT_EQ(session.FollowFile(), FollowResult::Unchanged);
    EXPECT_TRUE(database.Empty());

    prompts.Password(u"pw");
    ASSERT_TRUE(session.Unlock());
    EXPECT_EQ(EntriesOf(database), (std::vector<Entry>{Added, Bank}));
    EXPECT_EQ(session.FollowFile(), FollowResult::Unchanged);
}

TEST_P(FollowFileTest, AVersionUnderAnotherPasswordIsNotReadAndCloseIsOffered)
{
    const auto beside = folder / "elsewhere.ldb";
    WriteEntries(beside, u"new", {Added});
    if (GetParam().byRename) {
        std::filesystem::rename(beside, path);
    } else {
        WriteFileBytes(path, ReadFileBytes(beside));
    }

    prompts.Answer(false);
    EXPECT_EQ(session.FollowFile(), FollowResult::NotRead);
    EXPECT_EQ(prompts.asked,
              std::vector<std::u16string>{u"ok-cancel:" + texts.Text(TextId::OtherVersionWrongPassword)});
    EXPECT_EQ(EntriesOf(database), (std::vector<Entry>{Box, Bank}));
    // Asked once for that version, not at every look.
    EXPECT_EQ(session.FollowFile(), FollowResult::Unchanged);
    EXPECT_EQ(prompts.asked.size(), 1u);

    // And a save does not write over it.
    const std::string theirs = ReadFileBytes(path);
    EXPECT_EQ(session.AddEntry(MakeEntry(u"Gui", u"Mine").Key(), {}), ChangeResult::NotSaved);
    EXPECT_EQ(ReadFileBytes(path), theirs);
}

TEST_P(FollowFileTest, AVersionUnderAnotherPasswordClosesTheDatabaseOnOk)
{
    const auto beside = folder / "elsewhere.ldb";
    WriteEntries(beside, u"new", {Added});
    std::filesystem::rename(beside, path);

    prompts.Answer(true);
    EXPECT_EQ(session.FollowFile(), FollowResult::Closed);
    EXPECT_FALSE(session.IsOpen());
    EXPECT_TRUE(lastPath.empty());
    EXPECT_TRUE(database.Empty());
}

TEST_P(FollowFileTest, WhileACommandHoldsATicketTheNewVersionWaitsUntilItEnds)
{
    ChangeElsewhere({Added, Box});
    {
        // A command with its dialog open: the dialog shows the entries the command was handed.
        SessionTicket ticket(session);
        EXPECT_EQ(session.FollowFile(), FollowResult::Deferred);
        EXPECT_EQ(EntriesOf(database), (std::vector<Entry>{Box, Bank}));
        EXPECT_TRUE(ticket.IsLive());
    }
    EXPECT_EQ(session.FollowFile(), FollowResult::Reloaded);
    EXPECT_EQ(EntriesOf(database), (std::vector<Entry>{Added, Box}));
}

INSTANTIATE_TEST_SUITE_P(Ways, FollowFileTest,
                         testing::Values(ChangeWay{"ReplacedByRename", true}, ChangeWay{"RewrittenInPlace", false}),
                         [](const testing::TestParamInfo<ChangeWay>& info) { return std::string(info.param.name); });

TEST_F(SyncedFolderTest, OurOwnSavesAreNotFollowed)
{
    ASSERT_EQ(session.AddEntry(Added.Key(), Added.Fields()), ChangeResult::Saved);
    EXPECT_EQ(session.FollowFile(), FollowResult::Unchanged);
    EXPECT_TRUE(view.notes.empty());
}

TEST_F(SyncedFolderTest, AVanishedFileIsNotFollowed)
{
    std::filesystem::remove(path);
    EXPECT_EQ(session.FollowFile(), FollowResult::Unchanged);
    EXPECT_EQ(database.Size(), 2u);
}

TEST_F(SyncedFolderTest, ADamagedVersionIsNotFollowedAndTheUserIsToldOnce)
{
    WritePlaintext(path, u"Web" + Terminator() + u"Whole" + Terminator() + u"u" + Terminator() + u"p" + Terminator() +
                             u"url" + Terminator() + u"n" + Terminator() + u"Web" + Terminator() + u"Half");

    EXPECT_EQ(session.FollowFile(), FollowResult::NotRead);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text.rfind(texts.Text(TextId::OtherVersionUnreadable), 0), 0u);
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_EQ(session.FollowFile(), FollowResult::Unchanged);
    EXPECT_EQ(messages.messages.size(), 1u);

    // A later whole version is followed again.
    ReplaceByRename({Added});
    EXPECT_EQ(session.FollowFile(), FollowResult::Reloaded);
    EXPECT_EQ(EntriesOf(database), std::vector<Entry>{Added});
}

TEST_F(SyncedFolderTest, AFollowedVersionStartsANewGenerationSoTicketsOfTheOldOneAreStale)
{
    const std::uint64_t before = session.Generation();
    ReplaceByRename({Added});
    EXPECT_EQ(session.FollowFile(), FollowResult::Reloaded);
    EXPECT_NE(session.Generation(), before);
    // A ticket taken on the version followed is live.
    SessionTicket ticket(session);
    EXPECT_TRUE(ticket.IsLive());
}

TEST_F(SyncedFolderTest, ClosingForAnotherPasswordsVersionAnsweredAfterALockClosesNothing)
{
    const auto beside = folder / "elsewhere.ldb";
    WriteEntries(beside, u"new", {Added});
    std::filesystem::rename(beside, path);
    prompts.Answer(true);
    prompts.During(u"ok-cancel", [this] { session.Lock(); });

    EXPECT_EQ(session.FollowFile(), FollowResult::NotRead);

    EXPECT_TRUE(session.IsLocked());
    EXPECT_EQ(lastPath, Utf8ToUtf16(path.string()));
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{texts.Text(TextId::DatabaseGoneDuringDialog)});
}

TEST_F(SyncedFolderTest, NothingIsFollowedWhenNoDatabaseIsOpen)
{
    session.CloseDatabase();
    ReplaceByRename({Added});
    EXPECT_EQ(session.FollowFile(), FollowResult::Unchanged);
    EXPECT_TRUE(database.Empty());
}
} // namespace
