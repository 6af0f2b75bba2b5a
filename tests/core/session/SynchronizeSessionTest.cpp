#include "SyncedFolderFixture.h"
#include "core/session/SessionTicket.h"
#include "core/settings/BuiltinTexts.h"

namespace {
const Entry Bank = MakeEntry(u"Web", u"Bank", u"ann");
const Entry Box = MakeEntry(u"Mail", u"Box", u"bob");
const Entry Laptop = MakeEntry(u"Laptop", u"Only", u"lea");

// Records what it was asked to put in the trash; moves each file away unless told to fail.
class TrashRecorder : public IFileTrash
{
public:
    bool MoveToTrash(const std::filesystem::path& file) override
    {
        asked.push_back(file);
        if (fail) {
            return false;
        }
        std::filesystem::remove(file);
        return true;
    }

    std::vector<std::filesystem::path> asked;
    bool fail = false;
};

class SynchronizeSessionTest : public SyncedFolderTest
{
protected:
    std::u16string OkCancel(int textId) const { return u"ok-cancel:" + texts.Text(textId); }
    std::u16string Gone() const { return texts.Text(TextId::DatabaseGoneDuringDialog); }

    TrashRecorder trash;
    std::filesystem::path copy = folder / "db.sync-conflict-20240101-120000-LAPTOP.ldb";
};

TEST_F(SynchronizeSessionTest, AChosenFileIsSynchronizedUnderItsOwnPassword)
{
    WriteEntries(folder / "laptop.ldb", u"lap", {Laptop, MakeEntry(u"Web", u"Bank", u"changed"), Box});
    prompts.OpenFile(folder / "laptop.ldb");
    prompts.Password(u"wrong");
    prompts.OpenFile(folder / "laptop.ldb");
    prompts.Password(u"lap");

    SessionTicket ticket(session);
    session.SynchronizeWithFile(ticket);

    EXPECT_EQ(prompts.asked, (std::vector<std::u16string>{u"open", u"password:3", u"open", u"password:3"}));
    EXPECT_EQ(messages.Texts(), (std::vector<std::u16string>{u"Invalid password.",
                                                             u"Synchronization finished. Added: 1, identical: 1, kept "
                                                             u"both: 1.\n\nKept both; the other file's entry is under "
                                                             u"the title shown:\nWeb / Bank1"}));
    EXPECT_EQ(FileEntries(), (std::vector<Entry>{Laptop, Box, Bank, MakeEntry(u"Web", u"Bank1", u"changed")}));
    EXPECT_EQ(EntriesOf(database), FileEntries());
}

TEST_F(SynchronizeSessionTest, ConflictCopiesAreOfferedOnceSynchronizedAndMovedToTheTrash)
{
    WriteEntries(copy, u"pw", {Laptop, Bank, Box});
    prompts.Answer(true);
    prompts.Answer(true);

    session.OfferConflictCopies(trash);

    ASSERT_EQ(prompts.asked.size(), 2u);
    EXPECT_EQ(prompts.asked[0], u"ok-cancel:" + texts.Text(TextId::ConflictCopiesFound) + u"\n\n" +
                                    Utf8ToUtf16(copy.filename().string()) + u"\n\n" +
                                    texts.Text(TextId::SynchronizeCopiesQuestion));
    EXPECT_EQ(prompts.asked[1], OkCancel(TextId::MoveCopiesToTrash));
    EXPECT_EQ(FileEntries(), (std::vector<Entry>{Laptop, Box, Bank}));
    EXPECT_EQ(trash.asked, std::vector<std::filesystem::path>{copy});
    EXPECT_FALSE(std::filesystem::exists(copy));

    WriteEntries(copy, u"pw", {Laptop});
    session.OfferConflictCopies(trash);
    EXPECT_EQ(prompts.asked.size(), 2u) << "offered once";
}

TEST_F(SynchronizeSessionTest, DecliningLeavesTheCopyAndTheDatabaseAsTheyAre)
{
    WriteEntries(copy, u"pw", {Laptop});
    const std::string before = ReadFileBytes(path);
    prompts.Answer(false);

    session.OfferConflictCopies(trash);

    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_TRUE(trash.asked.empty());
}

TEST_F(SynchronizeSessionTest, KeepingTheCopiesAfterASynchronizeLeavesThemInPlace)
{
    WriteEntries(copy, u"pw", {Laptop});
    prompts.Answer(true);
    prompts.Answer(false);

    session.OfferConflictCopies(trash);

    EXPECT_EQ(FileEntries(), (std::vector<Entry>{Laptop, Box, Bank}));
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_TRUE(trash.asked.empty());
}

TEST_F(SynchronizeSessionTest, ACopyUnderAnotherPasswordIsAskedForAndOnATrashFailureDeletedOnRequest)
{
    WriteEntries(copy, u"old", {Laptop});
    trash.fail = true;
    prompts.Answer(true);
    prompts.Password(u"old");
    prompts.Answer(true);
    prompts.Answer(true);

    session.OfferConflictCopies(trash);

    EXPECT_EQ(prompts.asked[1], u"password:3");
    EXPECT_EQ(prompts.asked[3], OkCancel(TextId::TrashFailedDelete) + u"\n\n" + Utf8ToUtf16(copy.string()));
    EXPECT_EQ(FileEntries(), (std::vector<Entry>{Laptop, Box, Bank}));
    EXPECT_FALSE(std::filesystem::exists(copy));
}

TEST_F(SynchronizeSessionTest, ACopyWhosePasswordIsNotGivenIsLeftAlone)
{
    WriteEntries(copy, u"old", {Laptop});
    const std::string before = ReadFileBytes(path);
    prompts.Answer(true);

    session.OfferConflictCopies(trash);

    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_TRUE(trash.asked.empty());
}

TEST_F(SynchronizeSessionTest, ALockWhileSynchronizeAsksForTheFileOrItsPasswordChangesNothingAndSaysSo)
{
    const auto laptop = folder / "laptop.ldb";
    WriteEntries(laptop, u"lap", {Laptop});
    const std::string before = ReadFileBytes(path);
    for (const std::u16string during : {u"open", u"password"}) {
        SCOPED_TRACE(Utf16ToUtf8(during));
        if (session.IsLocked()) {
            prompts.Password(u"pw");
            ASSERT_TRUE(session.Unlock());
        }
        messages.Reset();
        prompts = PromptsWithAStep();
        prompts.OpenFile(laptop);
        prompts.Password(u"lap");
        prompts.During(during, [this] { session.Lock(); });

        SessionTicket ticket(session);
        session.SynchronizeWithFile(ticket);

        EXPECT_EQ(ReadFileBytes(path), before);
        EXPECT_TRUE(database.Empty());
        EXPECT_EQ(messages.Texts(), std::vector{Gone()});
    }
}

TEST_F(SynchronizeSessionTest, AnOfferAnsweredAfterALockChangesNothingAndComesAgainAtTheUnlock)
{
    WriteEntries(copy, u"pw", {Laptop});
    session.OfferConflictCopiesAfterOpening(trash);
    const std::string before = ReadFileBytes(path);
    prompts.Answer(true);
    prompts.During(u"ok-cancel", [this] { session.Lock(); });

    session.OfferConflictCopies(trash);

    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_TRUE(trash.asked.empty());
    EXPECT_EQ(messages.Texts(), std::vector{Gone()});

    prompts.asked.clear();
    prompts.Password(u"pw");
    prompts.Answer(true);
    prompts.Answer(false);
    ASSERT_TRUE(session.Unlock());
    ASSERT_EQ(prompts.asked.size(), 3u);
    EXPECT_EQ(prompts.asked[1].rfind(OkCancel(TextId::ConflictCopiesFound), 0), 0u);
    EXPECT_EQ(FileEntries(), (std::vector<Entry>{Laptop, Box, Bank}));
    EXPECT_TRUE(std::filesystem::exists(copy));
}

TEST_F(SynchronizeSessionTest, ALockWhileACopysOwnPasswordIsAskedForChangesNothing)
{
    WriteEntries(copy, u"old", {Laptop});
    const std::string before = ReadFileBytes(path);
    prompts.Answer(true);
    prompts.Password(u"old");
    prompts.During(u"password", [this] { session.Lock(); });

    session.OfferConflictCopies(trash);

    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(messages.Texts(), (std::vector<std::u16string>{
                                    Utf8ToUtf16(copy.string()) + u": " + texts.Text(TextId::InvalidPassword), Gone()}));
}

TEST_F(SynchronizeSessionTest, OnceGivenATrashEveryOpenOffersTheCopiesBesideTheFile)
{
    WriteEntries(copy, u"pw", {Laptop});
    prompts.Password(u"pw");
    session.Lock();
    ASSERT_TRUE(session.Unlock());
    EXPECT_EQ(prompts.asked, std::vector<std::u16string>{u"password:0"}) << "no trash, no offer";

    session.OfferConflictCopiesAfterOpening(trash);
    struct Case
    {
        const char* name;
        std::function<void()> open;
        std::size_t questions;
    };
    const std::vector<Case> cases = {
        {"Open",
         [this] {
             session.CloseDatabase();
             prompts.OpenFile(path);
             session.OpenDatabase();
         },
         3},
        {"start-up open",
         [this] {
             session.CloseDatabase();
             lastPath = Utf8ToUtf16(path.string());
             session.StartupOpen(true);
         },
         2},
        {"unlock",
         [this] {
             session.Lock();
             session.Unlock();
         },
         2},
    };
    int number = 0;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const auto another = folder / ("db.sync-conflict-2024010" + std::to_string(++number) + "-LAPTOP.ldb");
        WriteEntries(another, u"pw", {Laptop});
        prompts.asked.clear();
        prompts.Password(u"pw");
        prompts.Answer(false);

        test.open();

        ASSERT_TRUE(session.IsOpen());
        ASSERT_EQ(prompts.asked.size(), test.questions);
        EXPECT_NE(prompts.asked.back().find(Utf8ToUtf16(another.filename().string())), std::u16string::npos);
    }
}

TEST_F(SynchronizeSessionTest, NoCopiesMeanNoQuestion)
{
    session.OfferConflictCopies(trash);
    EXPECT_TRUE(prompts.asked.empty());
}
} // namespace
