#include <deque>

#include "core/database/DatabaseFile.h"
#include "core/session/DatabaseSession.h"
#include "core/session/SessionTicket.h"
#include "gui/mainwindow/EntryCommands.h"
#include "gui/mainwindow/EntryViewsFixture.h"
#include "platform/HeldFileHandle.h"
#include "support/EntryBuilder.h"
#include "support/TempDir.h"

namespace {
const std::u16string Duplicate =
    u"The database already contained an element with such title and group. Please change the title or group.";
const std::u16string DeleteQuestion = u"Are you sure you want to delete the selected entry?";
// Notes holding the field terminator cannot be written, so the save after such a change fails.
const std::u16string Unsavable = std::u16string(u"bad") + u'\u0007' + u'\u0001' + u'\u0005';
} // namespace

// The commands on a real database file, opened through the lifecycle, with the entry dialog answered by a script.
class EntryCommandsFixture : public EntryViewsFixture
{
protected:
    struct DialogCall
    {
        EditMode mode;
        std::optional<Entry> values;
        std::optional<EntryKey> selected;
    };

    void SetUp() override
    {
        options.fHidePass = false;
        CDataBase initial(recorder, texts);
        AddEntries(initial,
                   {MakeEntry(u"Mail", u"Inbox", u"alice", u"pw1"), MakeEntry(u"Web", u"Bank", u"bob", u"pw2"),
                    MakeEntry(u"Web", u"Shop", u"carol", u"pw3"), MakeEntry(u"Work", u"VPN", u"dave", u"pw4")});
        ASSERT_TRUE(WriteDatabase(initial, path, prompts.password));
        lastPath = path.u16string();
        ASSERT_TRUE(session.OpenWithPassword(path));
        originalFile = ReadFileBytes(path);
        recorder.Reset();
    }

    // The command's context, with a ticket taken as the command starts.
    EntryCommandContext Context()
    {
        ticket.emplace(session);
        return {*ticket, *views, options, prompts,
                [this](EditMode mode, const std::optional<Entry>& values, const std::optional<EntryKey>& selected) {
                    calls.push_back({mode, values, selected});
                    if (auto step = std::exchange(duringDialog, nullptr)) {
                        step();
                    }
                    if (answers.empty()) {
                        return std::optional<Entry>();
                    }
                    std::optional<Entry> answer = answers.front();
                    answers.pop_front();
                    return answer;
                }};
    }

    std::vector<Entry> FileEntries()
    {
        CDataBase reread(recorder, texts);
        EXPECT_EQ(ReadDatabase(reread, path, prompts.password), 1);
        return EntriesOf(reread);
    }
    void SelectTitle(const QString& title)
    {
        for (int row = 0; row < Model().rowCount(); ++row) {
            if (Model().KeyAt(row)->title == ToSecureTitle(title)) {
                List().SelectRow(row);
                return;
            }
        }
        FAIL() << "no row " << title.toStdString();
    }
    static SecureString ToSecureTitle(const QString& title) { return ToSecure(title.toStdU16String()); }
    static EntryKey Key(std::u16string_view group, std::u16string_view title)
    {
        return {ToSecure(group), ToSecure(title)};
    }

    TempDir folder;
    std::filesystem::path path = folder / "lockmere.ldb";
    std::u16string lastPath;
    ScriptedPrompts prompts;
    HeldFileHandle handle;
    ViewsAdapter adapter{*views};
    DatabaseSession session{database, lastPath, prompts, adapter, handle};
    std::optional<SessionTicket> ticket;
    std::deque<std::optional<Entry>> answers;
    std::vector<DialogCall> calls;
    std::string originalFile;
    // Something the window does while the entry dialog is open.
    std::function<void()> duringDialog;
};

class AddEntryTest : public EntryCommandsFixture
{};

TEST_F(AddEntryTest, TheNewEntryIsWrittenToTheFileAndListed)
{
    const Entry added = MakeEntry(u"Shops", u"Books", u"eve", u"pw5", u"https://books", u"n");
    answers.push_back(added);
    auto context = Context();
    AddEntry(context);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].mode, EditMode::Add);
    EXPECT_FALSE(calls[0].values);
    const auto file = FileEntries();
    EXPECT_NE(std::find(file.begin(), file.end(), added), file.end());
    EXPECT_EQ(file.size(), 5u);
    EXPECT_EQ(TreeGroups(), QStringList({"Mail", "Shops", "Web", "Work"}));
    EXPECT_EQ(Model().rowCount(), 5);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_TRUE(handle.IsOpen());
}

TEST_F(AddEntryTest, ADuplicateKeyIsRefusedAndTheDialogComesBackWithTheTypedValues)
{
    const Entry duplicate = MakeEntry(u"Web", u"Shop", u"typed", u"typedpw", u"u", u"n");
    answers.push_back(duplicate);
    auto context = Context();
    AddEntry(context);
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{Duplicate});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].mode, EditMode::Add);
    EXPECT_EQ(calls[1].values, duplicate);
    EXPECT_EQ(database.Find(Key(u"Web", u"Shop"))->username, ToSecure(u"carol"));
    EXPECT_EQ(ReadFileBytes(path), originalFile);
}

TEST_F(AddEntryTest, ALowerCaseTitleIsADifferentKey)
{
    answers.push_back(MakeEntry(u"Web", u"shop"));
    auto context = Context();
    AddEntry(context);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(FileEntries().size(), 5u);
}

TEST_F(AddEntryTest, AFailedSaveRemovesTheEntryAgainAndBringsTheDialogBack)
{
    const Entry unsavable = MakeEntry(u"Web", u"Forum", u"u", u"p", u"", Unsavable);
    const Entry fixed = MakeEntry(u"Web", u"Forum", u"u", u"p", u"", u"good");
    answers.push_back(unsavable);
    answers.push_back(fixed);
    auto context = Context();
    AddEntry(context);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].values, unsavable);
    EXPECT_EQ(recorder.messages.size(), 1u);
    const auto file = FileEntries();
    EXPECT_NE(std::find(file.begin(), file.end(), fixed), file.end());
    EXPECT_EQ(database.Find(Key(u"Web", u"Forum")), fixed);
}

TEST_F(AddEntryTest, AFailedSaveThenCancelLeavesMemoryAndFileAsBefore)
{
    const auto before = EntriesOf(database);
    answers.push_back(MakeEntry(u"Web", u"Forum", u"", u"", u"", Unsavable));
    auto context = Context();
    AddEntry(context);
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_EQ(EntriesOf(database), before);
    EXPECT_EQ(ReadFileBytes(path), originalFile);
    EXPECT_EQ(Model().rowCount(), 4);
}

TEST_F(AddEntryTest, CancelChangesNothing)
{
    auto context = Context();
    AddEntry(context);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(ReadFileBytes(path), originalFile);
}

class EditEntryTest : public EntryCommandsFixture
{};

TEST_F(EditEntryTest, TheDialogGetsTheSelectedKeyAndTheChangeIsWritten)
{
    SelectTitle("Shop");
    const Entry changed = MakeEntry(u"Web", u"Shop", u"carol", u"newpw", u"https://shop", u"");
    answers.push_back(changed);
    auto context = Context();
    EditEntry(context);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].mode, EditMode::Edit);
    EXPECT_EQ(calls[0].selected, Key(u"Web", u"Shop"));
    const auto file = FileEntries();
    EXPECT_NE(std::find(file.begin(), file.end(), changed), file.end());
    EXPECT_EQ(file.size(), 4u);
}

TEST_F(EditEntryTest, RenamingMovesTheEntryToItsNewGroup)
{
    SelectTitle("VPN");
    const Entry moved = MakeEntry(u"Office", u"VPN", u"dave", u"pw4");
    answers.push_back(moved);
    auto context = Context();
    EditEntry(context);
    EXPECT_EQ(TreeGroups(), QStringList({"Mail", "Office", "Web"}));
    EXPECT_FALSE(database.Find(Key(u"Work", u"VPN")));
    const auto file = FileEntries();
    EXPECT_NE(std::find(file.begin(), file.end(), moved), file.end());
}

TEST_F(EditEntryTest, RenamingOntoAnotherEntrysKeyIsRefusedAndTheDialogComesBack)
{
    SelectTitle("Shop");
    const Entry clash = MakeEntry(u"Web", u"Bank", u"x", u"y");
    answers.push_back(clash);
    auto context = Context();
    EditEntry(context);
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{Duplicate});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].values, clash);
    EXPECT_EQ(database.Find(Key(u"Web", u"Shop"))->username, ToSecure(u"carol"));
    EXPECT_EQ(database.Find(Key(u"Web", u"Bank"))->username, ToSecure(u"bob"));
    EXPECT_EQ(ReadFileBytes(path), originalFile);
}

TEST_F(EditEntryTest, AFailedSavePutsTheOldEntryBackAndBringsTheDialogBackFilledIn)
{
    SelectTitle("Shop");
    const auto before = EntriesOf(database);
    const Entry unsavable = MakeEntry(u"Shops", u"Store", u"c", u"p", u"", Unsavable);
    answers.push_back(unsavable);
    auto context = Context();
    EditEntry(context);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].values, unsavable);
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(EntriesOf(database), before);
    EXPECT_EQ(ReadFileBytes(path), originalFile);
    EXPECT_EQ(views->CurrentKey(), Key(u"Web", u"Shop"));
    EXPECT_EQ(TreeGroups(), QStringList({"Mail", "Web", "Work"}));
}

TEST_F(EditEntryTest, TheRepeatAfterAFailedSaveEditsTheSameEntry)
{
    SelectTitle("Shop");
    answers.push_back(MakeEntry(u"Web", u"Store", u"c", u"p", u"", Unsavable));
    const Entry fixed = MakeEntry(u"Web", u"Store", u"c", u"p", u"", u"ok");
    answers.push_back(fixed);
    auto context = Context();
    EditEntry(context);
    EXPECT_EQ(calls.size(), 2u);
    const auto file = FileEntries();
    EXPECT_NE(std::find(file.begin(), file.end(), fixed), file.end());
    EXPECT_FALSE(database.Find(Key(u"Web", u"Shop")));
    EXPECT_EQ(file.size(), 4u);
}

TEST_F(EditEntryTest, CancelChangesNothing)
{
    SelectTitle("Shop");
    auto context = Context();
    EditEntry(context);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(ReadFileBytes(path), originalFile);
    EXPECT_EQ(views->CurrentKey(), Key(u"Web", u"Shop"));
}

class DeleteEntryTest : public EntryCommandsFixture
{};

TEST_F(DeleteEntryTest, CancellingTheQuestionChangesNothing)
{
    SelectTitle("Shop");
    prompts.answers.push_back(false);
    auto context = Context();
    EXPECT_FALSE(DeleteCurrentEntry(context));
    EXPECT_EQ(prompts.questions, std::vector<std::u16string>{DeleteQuestion});
    EXPECT_TRUE(database.Find(Key(u"Web", u"Shop")));
    EXPECT_EQ(ReadFileBytes(path), originalFile);
}

TEST_F(DeleteEntryTest, ConfirmedDeleteErasesTheEntryFromTheFileAndTheList)
{
    SelectTitle("Shop");
    prompts.answers.push_back(true);
    auto context = Context();
    EXPECT_TRUE(DeleteCurrentEntry(context));
    EXPECT_FALSE(database.Find(Key(u"Web", u"Shop")));
    EXPECT_EQ(FileEntries().size(), 3u);
    EXPECT_EQ(Model().rowCount(), 3);
    EXPECT_EQ(List().SelectedRow(), -1);
    EXPECT_TRUE(handle.IsOpen());
}

TEST_F(DeleteEntryTest, WithoutTheSettingNoQuestionIsAsked)
{
    options.fRequestDelete = false;
    SelectTitle("Shop");
    auto context = Context();
    EXPECT_TRUE(DeleteCurrentEntry(context));
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(FileEntries().size(), 3u);
}

TEST_F(DeleteEntryTest, WithoutASelectedRowNothingIsDeleted)
{
    prompts.answers.push_back(true);
    auto context = Context();
    EXPECT_FALSE(DeleteCurrentEntry(context));
    EXPECT_EQ(database.Size(), 4u);
    EXPECT_EQ(ReadFileBytes(path), originalFile);
}

TEST_F(DeleteEntryTest, AFailedSaveAddsTheEntryBackAndListsItAgain)
{
    options.fRequestDelete = false;
    // An entry that cannot be written makes every save fail.
    database.Insert(Key(u"Zzz", u"bad"), {{}, {}, {}, ToSecure(Unsavable)});
    adapter.FillViews();
    SelectTitle("Shop");
    auto context = Context();
    DeleteCurrentEntry(context);
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(database.Find(Key(u"Web", u"Shop")), MakeEntry(u"Web", u"Shop", u"carol", u"pw3"));
    EXPECT_EQ(Model().rowCount(), 5);
    EXPECT_EQ(ReadFileBytes(path), originalFile);
    EXPECT_TRUE(handle.IsOpen());
}

TEST_F(DeleteEntryTest, DeletingTheLastEntryOfTheSelectedGroupFallsBackToAllEntries)
{
    options.fRequestDelete = false;
    SelectGroup("Work");
    ASSERT_EQ(Headers().first(), "Title");
    List().SelectRow(0);
    auto context = Context();
    EXPECT_TRUE(DeleteCurrentEntry(context));
    EXPECT_EQ(TreeGroups(), QStringList({"Mail", "Web"}));
    EXPECT_FALSE(views->SelectedGroup());
    EXPECT_EQ(Headers().first(), "Group");
    EXPECT_EQ(groupPane.text(), "General");
    EXPECT_EQ(Model().rowCount(), 3);
}

class EntryDialogOutlivesItsDatabaseTest : public EntryCommandsFixture
{};

TEST_F(EntryDialogOutlivesItsDatabaseTest, AddAndEditChangeNothingAndSayWhy)
{
    const std::u16string gone = u"The database was locked or closed while the dialog was open, so nothing was changed.";
    struct Case
    {
        const char* name;
        void (*command)(EntryCommandContext&);
        std::function<void()> interruption;
    };
    const std::vector<Case> cases = {
        {"add, locked", AddEntry, [this] { session.Lock(); }},
        {"edit, locked", EditEntry, [this] { session.Lock(); }},
        {"add, closed", AddEntry, [this] { session.CloseDatabase(); }},
        {"edit, closed and another opened", EditEntry,
         [this] {
             session.CloseDatabase();
             lastPath = path.u16string();
             ASSERT_TRUE(session.OpenWithPassword(path));
         }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        session.CloseDatabase();
        session.SetLocked(false);
        lastPath = path.u16string();
        ASSERT_TRUE(session.OpenWithPassword(path));
        SelectTitle(QStringLiteral("Bank"));
        recorder.Reset();
        calls.clear();
        duringDialog = test.interruption;
        answers.push_back(MakeEntry(u"Web", u"Changed", u"x", u"y"));
        auto context = Context();
        test.command(context);

        EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{gone});
        EXPECT_EQ(calls.size(), 1u);
        EXPECT_EQ(ReadFileBytes(path), originalFile);
        EXPECT_FALSE(database.Find(Key(u"Web", u"Changed")));
        answers.clear();
    }
}
