#include <gtest/gtest.h>

#include <functional>

#include "SessionFakes.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/session/DatabaseSession.h"
#include "core/session/SessionTicket.h"
#include "platform/HeldFileHandle.h"
#include "support/EntryBuilder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

// A command's ticket: it works on the database it was taken on, and refuses, telling the user once, when that
// database was locked, closed or opened again in between.
namespace {
const std::u16string GoneDuringDialog =
    u"The database was locked or closed while the dialog was open, so nothing was changed.";

// Runs a step of the window's own while the next file chooser is up.
class ChooserWithAStep : public PromptScript
{
public:
    std::optional<std::filesystem::path> ChooseFileToSave(const std::u16string& proposedName) override
    {
        if (auto step = std::exchange(duringChooser, nullptr)) {
            step();
        }
        return PromptScript::ChooseFileToSave(proposedName);
    }
    std::optional<std::filesystem::path> ChooseFileToOpen() override
    {
        if (auto step = std::exchange(duringChooser, nullptr)) {
            step();
        }
        return PromptScript::ChooseFileToOpen();
    }

    std::function<void()> duringChooser;
};

class SessionTicketTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageRecorder quiet;
        CDataBase written(quiet, texts);
        for (const auto& entry : {MakeEntry(u"Web", u"Bank"), MakeEntry(u"Mail", u"Box")}) {
            written.Add(entry.Key(), entry.Fields());
        }
        ASSERT_TRUE(WriteDatabase(written, path, ToSecure(u"pw")));
        ASSERT_TRUE(WriteDatabase(written, otherPath, ToSecure(u"pw")));
        Open(path);
        before = ReadFileBytes(path);
    }

    // Opens the file afresh, as the unlock or the Open command would leave it.
    void Open(const std::filesystem::path& file)
    {
        session.SetLocked(false);
        lastPath = Utf8ToUtf16(file.string());
        prompts.Password(u"pw");
        ASSERT_TRUE(session.OpenWithPassword(file));
        messages.Reset();
    }

    TempDir folder;
    std::filesystem::path path = folder / "db.ldb";
    std::filesystem::path otherPath = folder / "other.ldb";
    std::filesystem::path target = folder / "out.file";
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database{messages, texts};
    std::u16string lastPath;
    ChooserWithAStep prompts;
    ViewRecorder view;
    HeldFileHandle handle;
    DatabaseSession session{database, lastPath, prompts, view, handle};
    std::string before;
};

TEST_F(SessionTicketTest, AnyLockCloseOrOtherOpenMakesTheTicketStaleForGood)
{
    struct Case
    {
        const char* name;
        std::function<void()> meanwhile;
        bool live;
    };
    const std::vector<Case> cases = {
        {"nothing happened", [] {}, true},
        {"locked", [this] { session.Lock(); }, false},
        {"locked and unlocked again",
         [this] {
             session.Lock();
             prompts.Password(u"pw");
             session.Unlock();
         },
         false},
        {"closed", [this] { session.CloseDatabase(); }, false},
        {"another database opened", [this] { Open(otherPath); }, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        session.CloseDatabase();
        Open(path);
        SessionTicket ticket(session);
        test.meanwhile();
        messages.Reset();
        EXPECT_EQ(ticket.IsLive(), test.live);
        bool worked = false;
        EXPECT_EQ(ticket.Work(FileWork::Saving, [&](CDataBase&) { worked = true; }), test.live);
        EXPECT_EQ(ticket.Read([&](const CDataBase&) { worked = true; }), test.live);
        EXPECT_EQ(worked, test.live);
        const ChangeResult added = ticket.AddEntry(MakeEntry(u"New", u"One").Key(), MakeEntry(u"New", u"One").Fields());
        EXPECT_EQ(added == ChangeResult::Saved, test.live);
        // Told once, however often the command asks.
        EXPECT_EQ(messages.Texts(), test.live ? std::vector<std::u16string>{} : std::vector{GoneDuringDialog});
    }
}

TEST_F(SessionTicketTest, ATicketTakenWithoutAnOpenDatabaseIsStaleEvenOnceOneIsOpen)
{
    session.Lock();
    SessionTicket ticket(session);
    prompts.Password(u"pw");
    ASSERT_TRUE(session.Unlock());
    EXPECT_FALSE(ticket.IsLive());
    EXPECT_FALSE(ticket.Confirm());
}

TEST_F(SessionTicketTest, BackupExportsAndMergeAfterALockDuringTheirChooserWriteNothingAndSaySo)
{
    struct Case
    {
        const char* name;
        std::function<void(DatabaseSession&)> command;
    };
    const std::vector<Case> cases = {
        {"backup", [](DatabaseSession& s) { s.CreateBackup(); }},
        {"text export", [](DatabaseSession& s) { s.ExportListing(ListingFormat::Text); }},
        {"HTML export", [](DatabaseSession& s) { s.ExportListing(ListingFormat::Html); }},
        {"merge", [](DatabaseSession& s) { s.MergeImport(); }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        session.CloseDatabase();
        Open(path);
        prompts.SaveFile(target);
        prompts.OpenFile(otherPath);
        prompts.Password(u"pw");
        prompts.duringChooser = [this] { session.Lock(); };
        test.command(session);
        EXPECT_FALSE(std::filesystem::exists(target));
        EXPECT_EQ(ReadFileBytes(path), before);
        EXPECT_TRUE(database.Empty());
        EXPECT_EQ(messages.Texts(), std::vector{GoneDuringDialog});
        std::filesystem::remove(target);
        prompts = ChooserWithAStep();
    }
}

TEST_F(SessionTicketTest, NewAndOpenAnsweredAfterTheDatabaseWentCloseNothing)
{
    for (const bool create : {true, false}) {
        SCOPED_TRACE(create);
        session.CloseDatabase();
        Open(path);
        // The question is answered OK after a lock had come in under it.
        struct LockDuringQuestion : ChooserWithAStep
        {
            bool AskOkCancel(const std::u16string& question) override
            {
                lock();
                return PromptScript::AskOkCancel(question);
            }
            std::function<void()> lock;
        } asking;
        asking.Answer(true);
        DatabaseSession other(database, lastPath, asking, view, handle);
        // The session under test is the one that asks; its own lock is the window's.
        asking.lock = [&other] { other.Lock(); };
        create ? other.CreateDatabase() : other.OpenDatabase();
        EXPECT_EQ(lastPath, Utf8ToUtf16(path.string()));
        EXPECT_TRUE(other.IsLocked());
        EXPECT_EQ(messages.Texts(), std::vector{GoneDuringDialog});
    }
}
} // namespace
