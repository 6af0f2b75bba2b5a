#include <gtest/gtest.h>

#include <functional>

#include "SessionFakes.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/session/DatabaseSession.h"
#include "platform/HeldFileHandle.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

// What the session does when the window acts on it while one of its prompts is up: a prompt runs its own event
// loop, in which the window can be minimised, restored, locked or closed.
namespace {
const std::u16string GoneDuringDialog =
    u"The database was locked or closed while the dialog was open, so nothing was changed.";

Entry MakeEntry(std::u16string_view group, std::u16string_view title)
{
    return Entry(ToSecure(group), ToSecure(title), ToSecure(u"user"), ToSecure(u"secret"), {}, {});
}

// Like the real list, shows rows that point into the collection; remembers whether it ever showed rows whose
// entries were gone, which is what a repaint during the next prompt would read.
class RowsView : public ISessionView
{
public:
    explicit RowsView(const CDataBase& database)
        : database(database)
    {}
    void FillViews() override { rows = database.Size(); }
    void ClearViews() override
    {
        NoteStale();
        rows = 0;
    }
    void EnableCommands(bool) override {}
    void ShowPath(const std::u16string&) override {}
    void NoteStale() { staleRowsSeen = staleRowsSeen || rows > database.Size(); }

    std::size_t rows = 0;
    bool staleRowsSeen = false;

private:
    const CDataBase& database;
};

// Runs a step of the window's own while a password prompt is up, the first time one is asked.
class InterruptedPrompts : public PromptScript
{
public:
    std::optional<SecureString> AskPassword(EnterMode mode, const std::filesystem::path& file) override
    {
        if (view) {
            view->NoteStale();
        }
        if (auto step = std::exchange(duringPassword, nullptr)) {
            step();
        }
        return PromptScript::AskPassword(mode, file);
    }
    std::optional<SecureString> AskNewPassword(SetPasswordMode mode) override
    {
        if (auto step = std::exchange(duringNewPassword, nullptr)) {
            step();
        }
        return PromptScript::AskNewPassword(mode);
    }

    std::function<void()> duringPassword;
    std::function<void()> duringNewPassword;
    RowsView* view = nullptr;
};

class SessionDuringPromptsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        prompts.view = &view;
        Reopen();
    }

    // Writes both files afresh and opens the first.
    void Reopen()
    {
        session.CloseDatabase();
        session.SetLocked(false);
        MessageRecorder quiet;
        CDataBase other(quiet, texts);
        for (const auto& entry : {MakeEntry(u"Web", u"Bank"), MakeEntry(u"Mail", u"Box")}) {
            other.Add(entry.Key(), entry.Fields());
        }
        ASSERT_TRUE(WriteDatabase(other, path, ToSecure(u"pw")));
        ASSERT_TRUE(WriteDatabase(other, otherPath, ToSecure(u"other")));
        lastPath = Utf8ToUtf16(path.string());
        prompts.Password(u"pw");
        ASSERT_TRUE(session.OpenWithPassword(path));
        prompts.asked.clear();
        before = ReadFileBytes(path);
    }

    TempDir folder;
    std::filesystem::path path = folder / "db.ldb";
    std::filesystem::path otherPath = folder / "other.ldb";
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database{messages, texts};
    std::u16string lastPath;
    InterruptedPrompts prompts;
    RowsView view{database};
    HeldFileHandle handle;
    DatabaseSession session{database, lastPath, prompts, view, handle};
    std::string before;
};

TEST_F(SessionDuringPromptsTest, AnUnlockAskedForDuringTheUnlockPromptAsksNoSecondTime)
{
    // Answering a nested prompt rightly and the outer one wrongly used to clear the entries under the list.
    session.Lock();
    prompts.duringPassword = [this] { EXPECT_FALSE(session.Unlock()); };
    prompts.Password(u"pw");
    prompts.Password(u"wrong");
    EXPECT_TRUE(session.Unlock());

    EXPECT_EQ(prompts.asked, std::vector<std::u16string>{u"password:0"});
    EXPECT_TRUE(session.IsOpen());
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_EQ(view.rows, 2u);
    EXPECT_FALSE(view.staleRowsSeen);
}

TEST_F(SessionDuringPromptsTest, ViewsLetGoOfTheirRowsBeforeTheEntriesGo)
{
    const std::vector<std::function<void()>> operations = {
        [this] { session.Lock(); },
        [this] { session.CloseDatabase(); },
        [this] {
            // A wrong password after the views were filled by an open that another prompt finished.
            session.CloseDatabase();
            lastPath = Utf8ToUtf16(path.string());
            prompts.duringPassword = [this] {
                database.Insert(MakeEntry(u"Web", u"Bank"));
                view.FillViews();
            };
            prompts.Password(u"wrong");
            session.OpenWithPassword(path);
        },
    };
    for (std::size_t which = 0; which < operations.size(); ++which) {
        SCOPED_TRACE(which);
        operations[which]();
        EXPECT_FALSE(view.staleRowsSeen);
    }
}

TEST_F(SessionDuringPromptsTest, CommandsWhoseDatabaseWentDuringTheirPromptChangeNothingAndSayWhy)
{
    struct Case
    {
        const char* name;
        std::function<void()> prepare;
        std::function<void()> command;
    };
    const std::function<void()> lock = [this] { session.Lock(); };
    const std::function<void()> close = [this] { session.CloseDatabase(); };
    const std::vector<Case> cases = {
        {"change password, locked at the old password", [&] { prompts.duringPassword = lock; },
         [this] {
             prompts.Password(u"pw");
             prompts.NewPassword(u"new");
             session.ChangeMasterPassword();
         }},
        {"change password, closed at the new password", [&] { prompts.duringNewPassword = close; },
         [this] {
             prompts.Password(u"pw");
             prompts.NewPassword(u"new");
             session.ChangeMasterPassword();
         }},
        {"merge, locked at the other database's password", [&] { prompts.duringPassword = lock; },
         [this] {
             prompts.OpenFile(otherPath);
             prompts.Password(u"other");
             session.MergeImport();
         }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Reopen();
        messages.Reset();
        test.prepare();
        test.command();
        EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{GoneDuringDialog});
        EXPECT_EQ(ReadFileBytes(path), before);
        EXPECT_TRUE(database.Empty());
        CDataBase reread(messages, texts);
        EXPECT_EQ(ReadDatabase(reread, path, ToSecure(u"pw")), ReadResult::Done);
        EXPECT_EQ(reread.Size(), 2u);
    }
}
} // namespace
