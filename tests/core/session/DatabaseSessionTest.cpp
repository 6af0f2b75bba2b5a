#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "SessionFakes.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "platform/HeldFileHandle.h"
#include "support/EntryBuilder.h"
#include "support/KillLoop.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
const std::u16string InvalidPassword = u"Invalid password.";
const std::u16string CloseQuestion = u"ok-cancel:Close the current database?";
const std::u16string AskOpenPassword = u"password:0";

std::u16string PathText(const std::filesystem::path& path)
{
    return Utf8ToUtf16(path.string());
}

// A session over a real database file in a temporary folder, with scripted answers.
class DatabaseSessionTest : public ::testing::Test
{
protected:
    DatabaseSessionTest()
        : database(messages, texts)
        , session(database, lastPath, prompts, view, handle)
    {}

    // Writes a database file directly, without the session.
    void MakeFile(const std::filesystem::path& path, std::u16string_view password, const std::vector<Entry>& entries)
    {
        MessageRecorder quiet;
        CDataBase other(quiet, texts);
        for (const auto& entry : entries) {
            other.Add(entry.Key(), entry.Fields());
        }
        ASSERT_TRUE(WriteDatabase(other, path, ToSecure(password)));
    }

    // Reads a file directly; the entries in key order, or the read result when it failed.
    int ReadBack(const std::filesystem::path& path, std::u16string_view password, std::vector<Entry>* entries = nullptr)
    {
        MessageRecorder quiet;
        CDataBase other(quiet, texts);
        const int result = ReadDatabase(other, path, ToSecure(password));
        if (entries) {
            *entries = EntriesOf(other);
        }
        return result;
    }

    void Open(const std::filesystem::path& path, std::u16string_view password)
    {
        prompts.OpenFile(path);
        prompts.Password(std::u16string(password));
        session.OpenDatabase();
        ASSERT_EQ(lastPath, PathText(path));
        prompts.asked.clear();
        messages.Reset();
    }

    std::vector<Entry> Entries() const { return EntriesOf(database); }

    TempDir folder;
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database;
    std::u16string lastPath;
    PromptScript prompts;
    ViewRecorder view;
    // The program's own handle: writers refuse the file while it is held.
    HeldFileHandle handle;
    DatabaseSession session;
};

class CreateDatabaseTest : public DatabaseSessionTest
{};

TEST_F(CreateDatabaseTest, NewFileIsSixteenBytesAndOpensEmptyWithItsPassword)
{
    const auto path = folder / "lockmere.ldb";
    prompts.SaveFile(path);
    prompts.NewPassword(u"master");
    session.CreateDatabase();

    EXPECT_EQ(prompts.asked, (std::vector<std::u16string>{u"save:lockmere.ldb", u"new-password:0"}));
    EXPECT_EQ(std::filesystem::file_size(path), 16u);
    EXPECT_EQ(lastPath, PathText(path));
    EXPECT_EQ(session.MasterPassword(), ToSecure(u"master"));
    EXPECT_TRUE(handle.IsOpen());
    EXPECT_EQ(view.shownPath, PathText(path));
    EXPECT_EQ(view.commandsEnabled, true);
    EXPECT_TRUE(messages.messages.empty());

    session.CloseDatabase();
    Open(path, u"master");
    EXPECT_TRUE(database.Empty());
    EXPECT_TRUE(session.IsOpen());
}

TEST_F(CreateDatabaseTest, WhileOpenAsksFirstAndCancelLeavesTheDatabaseUntouched)
{
    const auto path = folder / "open.ldb";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank")});
    Open(path, u"pw");

    prompts.Answer(false);
    session.CreateDatabase();

    EXPECT_EQ(prompts.asked, std::vector<std::u16string>{CloseQuestion});
    EXPECT_EQ(lastPath, PathText(path));
    EXPECT_EQ(database.Size(), 1u);
    EXPECT_TRUE(handle.IsOpen());
    EXPECT_EQ(session.MasterPassword(), ToSecure(u"pw"));
}

TEST_F(CreateDatabaseTest, WhileOpenOkClosesBeforeTheFileDialog)
{
    const auto path = folder / "open.ldb";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank")});
    Open(path, u"pw");

    prompts.Answer(true);
    session.CreateDatabase(); // the file dialog is cancelled

    EXPECT_EQ(prompts.asked, (std::vector<std::u16string>{CloseQuestion, u"save:lockmere.ldb"}));
    EXPECT_TRUE(lastPath.empty());
    EXPECT_TRUE(database.Empty());
    EXPECT_FALSE(handle.IsOpen());
    EXPECT_EQ(view.commandsEnabled, false);
}

TEST_F(CreateDatabaseTest, CancelOfThePasswordCreatesNothing)
{
    const auto path = folder / "lockmere.ldb";
    prompts.SaveFile(path);
    session.CreateDatabase();

    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(lastPath.empty());
}

TEST_F(CreateDatabaseTest, FailedWriteEmptiesPathAndPasswordAndStartsOver)
{
    const auto unwritable = folder / "missing-folder" / "lockmere.ldb";
    prompts.SaveFile(unwritable);
    prompts.NewPassword(u"first");
    session.CreateDatabase(); // the second file dialog is cancelled

    EXPECT_EQ(prompts.asked,
              (std::vector<std::u16string>{u"save:lockmere.ldb", u"new-password:0", u"save:lockmere.ldb"}));
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(lastPath.empty());
    EXPECT_TRUE(session.MasterPassword().empty());
    EXPECT_FALSE(handle.IsOpen());
}

class OpenDatabaseTest : public DatabaseSessionTest
{};

TEST_F(OpenDatabaseTest, ThreeWrongPasswordsAskAgainEachTimeAndCancelBringsTheFileDialogBack)
{
    const auto path = folder / "db.ldb";
    MakeFile(path, u"right", {MakeEntry(u"Web", u"Bank")});
    prompts.OpenFile(path);
    for (auto wrong : {u"one", u"two", u"three"}) {
        prompts.Password(std::u16string(wrong));
    }
    session.OpenDatabase(); // Cancel at the fourth password, then Cancel at the second file dialog

    EXPECT_EQ(messages.Texts(), (std::vector<std::u16string>(3, InvalidPassword)));
    EXPECT_EQ(prompts.asked, (std::vector<std::u16string>{u"open", AskOpenPassword, AskOpenPassword, AskOpenPassword,
                                                          AskOpenPassword, u"open"}));
    EXPECT_TRUE(lastPath.empty());
    EXPECT_TRUE(database.Empty());
    EXPECT_FALSE(handle.IsOpen());
    EXPECT_FALSE(session.IsLocked());
}

TEST_F(OpenDatabaseTest, AFileThatCannotBeADatabaseIsToldSoWithoutAskingForAPassword)
{
    const auto path = folder / "notes.txt";
    for (const std::string& content : {std::string(), std::string("not a database, 31 bytes long..")}) {
        WriteFileBytes(path, content);
        messages.Reset();
        prompts.asked.clear();
        prompts.OpenFile(path);
        session.OpenDatabase(); // the file dialog comes back; Cancel there ends it

        EXPECT_EQ(messages.Texts(),
                  std::vector<std::u16string>{PathText(path) + u" is not a Lockmere database (its size is not a "
                                                               u"whole number of cipher blocks)."});
        EXPECT_EQ(prompts.asked, (std::vector<std::u16string>{u"open", u"open"}));
        EXPECT_TRUE(lastPath.empty());
        EXPECT_FALSE(handle.IsOpen());
    }
}

TEST_F(OpenDatabaseTest, WrongThenRightPasswordOpensAndShowsTheEntries)
{
    const auto path = folder / "db.ldb";
    MakeFile(path, u"right", {MakeEntry(u"Web", u"Bank"), MakeEntry(u"Mail", u"Box")});
    prompts.OpenFile(path);
    prompts.Password(u"wrong");
    prompts.Password(u"right");
    session.OpenDatabase();

    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{InvalidPassword});
    EXPECT_EQ(lastPath, PathText(path));
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_TRUE(handle.IsOpen());
    EXPECT_GE(view.fills, 1);
    EXPECT_EQ(view.shownPath, PathText(path));
    EXPECT_EQ(view.commandsEnabled, true);
    EXPECT_FALSE(session.IsLocked());
}

TEST_F(OpenDatabaseTest, AnotherReadFailureStartsTheCommandOver)
{
    const auto missing = folder / "missing.ldb";
    const auto path = folder / "db.ldb";
    MakeFile(path, u"pw", {});
    prompts.OpenFile(missing);
    prompts.Password(u"pw");
    prompts.OpenFile(path);
    prompts.Password(u"pw");
    session.OpenDatabase();

    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(prompts.asked, (std::vector<std::u16string>{u"open", AskOpenPassword, u"open", AskOpenPassword}));
    EXPECT_EQ(lastPath, PathText(path));
}

TEST_F(OpenDatabaseTest, IsLockedOnlyWhileThePasswordIsAsked)
{
    const auto path = folder / "db.ldb";
    MakeFile(path, u"pw", {});

    class LockObserver : public PromptScript
    {
    public:
        explicit LockObserver(DatabaseSession*& session)
            : session(session)
        {}
        std::optional<SecureString> AskPassword(EnterMode mode, const std::filesystem::path& file) override
        {
            lockedWhileAsked = session->IsLocked();
            return PromptScript::AskPassword(mode, file);
        }
        DatabaseSession*& session;
        bool lockedWhileAsked = false;
    };
    DatabaseSession* observed = nullptr;
    LockObserver observer(observed);
    DatabaseSession other(database, lastPath, observer, view, handle);
    observed = &other;
    observer.OpenFile(path);
    observer.Password(u"pw");
    other.OpenDatabase();

    EXPECT_TRUE(observer.lockedWhileAsked);
    EXPECT_FALSE(other.IsLocked());
    EXPECT_TRUE(other.IsOpen());
}

TEST_F(OpenDatabaseTest, CloseAsksNothingAndClearsEverything)
{
    const auto path = folder / "db.ldb";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank")});
    Open(path, u"pw");
    const int clearsBefore = view.clears;

    session.CloseDatabase();

    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_TRUE(lastPath.empty());
    EXPECT_TRUE(database.Empty());
    EXPECT_FALSE(handle.IsOpen());
    EXPECT_EQ(view.clears, clearsBefore + 1);
    EXPECT_EQ(view.commandsEnabled, false);
    EXPECT_EQ(session.MasterPassword(), ToSecure(u"pw"));
}

class BackupTest : public DatabaseSessionTest
{};

TEST_F(BackupTest, ProposesTheFileNameWithBakAndOpensWithTheCurrentPassword)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank")});
    Open(path, u"pw");
    const auto backup = folder / "copy.bak";
    prompts.SaveFile(backup);

    session.CreateBackup();

    EXPECT_EQ(prompts.asked, std::vector<std::u16string>{u"save:lockmere.ldb.bak"});
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, u"The backup is created: " + PathText(backup));
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Information);
    std::vector<Entry> entries;
    EXPECT_EQ(ReadBack(backup, u"pw", &entries), ReadResult::Done);
    EXPECT_EQ(entries, std::vector<Entry>{MakeEntry(u"Web", u"Bank")});
    EXPECT_TRUE(handle.IsOpen());
}

TEST_F(BackupTest, OntoTheOpenFileFailsWithOnlyTheWriteMessage)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank")});
    Open(path, u"pw");
    const std::string before = ReadFileBytes(path);
    prompts.SaveFile(path);

    session.CreateBackup();

    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text.find(u"backup is created"), std::u16string::npos);
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_TRUE(session.IsOpen());
    EXPECT_EQ(database.Size(), 1u);
}

TEST_F(BackupTest, CancelWritesNothing)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {});
    Open(path, u"pw");
    session.CreateBackup();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

// A backup killed at any moment leaves the previous backup or the whole new one, and no part of it under any name.
TEST_F(BackupTest, EveryKillLeavesThePreviousOrTheWholeBackupAndNothingElse)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {});
    Open(path, u"pw");
    const std::filesystem::path backups = folder / "backups";
    std::filesystem::create_directory(backups);
    const std::filesystem::path backup = backups / "lockmere.ldb.bak";
    // State k: k entries, each naming k.
    const auto fill = [](CDataBase& collection, int state) {
        const std::u16string k = ToU16(static_cast<unsigned>(state));
        for (int i = 0; i < state * 20; ++i) {
            const std::u16string n = ToU16(static_cast<unsigned>(i));
            collection.Add(MakeEntry(u"Group", u"Entry " + n).Key(),
                           MakeEntry(u"", u"", u"user " + k, u"password " + k + u"/" + n).Fields());
        }
    };
    const auto save = [&](int state) {
        database.Clear();
        fill(database, state);
        prompts.SaveFile(backup);
        messages.Reset();
        session.CreateBackup();
        return messages.messages.size() == 1 && messages.messages[0].icon == MessageIcon::Information;
    };
    const auto stateOf = [&](const std::filesystem::path& file) -> std::optional<int> {
        MessageRecorder quiet;
        CDataBase read(quiet, texts);
        if (ReadDatabase(read, file, ToSecure(u"pw")) != ReadResult::Done || read.Size() % 20 != 0) {
            return std::nullopt;
        }
        const int state = static_cast<int>(read.Size() / 20);
        CDataBase expected(quiet, texts);
        fill(expected, state);
        if (!std::equal(read.begin(), read.end(), expected.begin(), expected.end())) {
            return std::nullopt;
        }
        return state;
    };
    ExpectEveryKillLeavesOneSavedState(backup, save, stateOf);
}

class ChangePasswordTest : public DatabaseSessionTest
{
protected:
    void SetUp() override
    {
        MakeFile(path, u"old", {MakeEntry(u"Web", u"Bank")});
        Open(path, u"old");
    }
    std::filesystem::path path = folder / "db.ldb";
};

TEST_F(ChangePasswordTest, WrongOldPasswordChangesNothing)
{
    const std::string before = ReadFileBytes(path);
    prompts.Password(u"Old");
    session.ChangeMasterPassword();

    EXPECT_EQ(prompts.asked, std::vector<std::u16string>{u"password:1"});
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{InvalidPassword});
    EXPECT_EQ(session.MasterPassword(), ToSecure(u"old"));
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(ChangePasswordTest, RightOldPasswordReKeysTheFile)
{
    prompts.Password(u"old");
    prompts.NewPassword(u"new");
    session.ChangeMasterPassword();

    EXPECT_EQ(prompts.asked, (std::vector<std::u16string>{u"password:1", u"new-password:1"}));
    EXPECT_EQ(session.MasterPassword(), ToSecure(u"new"));
    EXPECT_EQ(ReadBack(path, u"old"), ReadResult::InvalidPassword);
    std::vector<Entry> entries;
    EXPECT_EQ(ReadBack(path, u"new", &entries), ReadResult::Done);
    EXPECT_EQ(entries.size(), 1u);
    EXPECT_TRUE(handle.IsOpen());
}

TEST_F(ChangePasswordTest, CancelAtTheNewPasswordChangesNothing)
{
    prompts.Password(u"old");
    session.ChangeMasterPassword();
    EXPECT_EQ(session.MasterPassword(), ToSecure(u"old"));
    EXPECT_EQ(ReadBack(path, u"old"), ReadResult::Done);
}

TEST_F(ChangePasswordTest, FailedWriteKeepsTheOldPasswordThatStillOpensTheFile)
{
    // A field holding the terminator makes every write of this collection fail.
    database.Insert(MakeEntry(u"Web", u"Bad").Key(),
                    MakeEntry(u"Web", u"Bad", u"", u"", u"", FieldTerminatorView).Fields());
    prompts.Password(u"old");
    prompts.NewPassword(u"new");
    session.ChangeMasterPassword();

    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(session.MasterPassword(), ToSecure(u"old"));
    EXPECT_EQ(ReadBack(path, u"old"), ReadResult::Done);
    EXPECT_TRUE(handle.IsOpen());
}

// A failed save restores the collection to what the file holds, as the undo table says.
class UndoOnFailedSaveTest : public DatabaseSessionTest
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dbFolder);
        MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank"), MakeEntry(u"Mail", u"Box")});
        Open(path, u"pw");
        before = ReadFileBytes(path);
        fillsBefore = view.fills;
    }

    // The program's handle does not stop the folder from going away on this platform.
    void RemoveTheFolder() { std::filesystem::remove_all(dbFolder); }

    std::filesystem::path dbFolder = folder / "vault";
    std::filesystem::path path = dbFolder / "db.ldb";
    std::string before;
    int fillsBefore = 0;
};

TEST_F(UndoOnFailedSaveTest, AddWithTerminatorInNotesIsRemovedAgain)
{
    const Entry added =
        MakeEntry(u"Web", u"New", u"", u"", u"", u"line" + std::u16string(FieldTerminatorView) + u"more");
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::NotSaved);

    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_FALSE(database.Find(added.Key()));
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(view.fills, fillsBefore);
    EXPECT_TRUE(handle.IsOpen());
    EXPECT_TRUE(session.IsOpen());
}

TEST_F(UndoOnFailedSaveTest, AddSavedIsInTheFile)
{
    const Entry added = MakeEntry(u"Web", u"New");
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::Saved);
    std::vector<Entry> entries;
    ASSERT_EQ(ReadBack(path, u"pw", &entries), ReadResult::Done);
    EXPECT_EQ(entries.size(), 3u);
    EXPECT_EQ(view.fills, fillsBefore + 1);
    EXPECT_TRUE(handle.IsOpen());
}

TEST_F(UndoOnFailedSaveTest, SavesOneAfterAnotherEachWriteTheFile)
{
    for (std::u16string_view title : {u"One", u"Two", u"Three"}) {
        const Entry added = MakeEntry(u"Web", title);
        ASSERT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::Saved);
    }
    ASSERT_EQ(session.RemoveEntry(MakeEntry(u"Web", u"One").Key()), ChangeResult::Saved);
    std::vector<Entry> entries;
    ASSERT_EQ(ReadBack(path, u"pw", &entries), ReadResult::Done);
    EXPECT_EQ(entries.size(), 4u);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), MakeEntry(u"Web", u"One")), 0);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(UndoOnFailedSaveTest, ChangesTheCollectionRefusesWriteNothing)
{
    const EntryKey bank = MakeEntry(u"Web", u"Bank").Key();
    const EntryKey box = MakeEntry(u"Mail", u"Box").Key();
    const EntryKey missing = MakeEntry(u"Web", u"Missing").Key();
    const struct
    {
        const char* name;
        std::function<ChangeResult()> change;
    } cases[] = {
        {"add of an existing key", [&] { return session.AddEntry(bank, MakeEntry(u"Web", u"Bank").Fields()); }},
        {"replace onto another entry's key", [&] { return session.ReplaceEntry(bank, box, EntryFields()); }},
        {"replace of a missing entry", [&] { return session.ReplaceEntry(missing, bank, EntryFields()); }},
        {"remove of a missing entry", [&] { return session.RemoveEntry(missing); }},
        {"import that took nothing", [&] { return session.ImportEntries([](CDataBase&) { return false; }); }},
    };
    for (const auto& refused : cases) {
        SCOPED_TRACE(refused.name);
        EXPECT_EQ(refused.change(), ChangeResult::Refused);
        EXPECT_EQ(database.Size(), 2u);
        EXPECT_EQ(ReadFileBytes(path), before);
        EXPECT_EQ(view.fills, fillsBefore);
    }
}

// Another Lockmere (the command-line program, say) replaced the file in a moment when it was not held here.
class FileReplacedByAnotherProgramTest : public UndoOnFailedSaveTest
{
protected:
    void ReplaceTheFile()
    {
        handle.Close();
        MakeFile(path, u"pw", {MakeEntry(u"Cli", u"Added elsewhere")});
        replaced = ReadFileBytes(path);
        handle.Open(path);
    }

    std::string replaced;
};

TEST_F(FileReplacedByAnotherProgramTest, SavingMergesTheOtherProgramsChangeWithOurs)
{
    ReplaceTheFile();
    const Entry added = MakeEntry(u"Web", u"New");
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::Saved);

    // That program removed the two entries we left as they were and added one; we added another.
    EXPECT_TRUE(messages.messages.empty());
    std::vector<Entry> entries;
    ASSERT_EQ(ReadBack(path, u"pw", &entries), ReadResult::Done);
    EXPECT_EQ(entries, (std::vector<Entry>{MakeEntry(u"Cli", u"Added elsewhere"), added}));
    EXPECT_EQ(Entries(), entries);
    EXPECT_TRUE(handle.IsOpen());
}

TEST_F(FileReplacedByAnotherProgramTest, ChangingThePasswordMergesAndKeepsTheOtherProgramsChange)
{
    ReplaceTheFile();
    prompts.Password(u"pw");
    prompts.NewPassword(u"new");

    session.ChangeMasterPassword();

    EXPECT_TRUE(messages.messages.empty());
    std::vector<Entry> entries;
    ASSERT_EQ(ReadBack(path, u"new", &entries), ReadResult::Done);
    EXPECT_EQ(entries, std::vector<Entry>{MakeEntry(u"Cli", u"Added elsewhere")});
    const Entry added = MakeEntry(u"Web", u"New");
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::Saved);
}

TEST_F(FileReplacedByAnotherProgramTest, AVersionUnderAnotherPasswordIsRefusedAndKeptAsItIs)
{
    handle.Close();
    MakeFile(path, u"other", {MakeEntry(u"Cli", u"Added elsewhere")});
    replaced = ReadFileBytes(path);
    handle.Open(path);

    const Entry added = MakeEntry(u"Web", u"New");
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::NotSaved);

    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, texts.Text(TextId::SaveRefusedOtherPassword));
    EXPECT_EQ(ReadFileBytes(path), replaced);
    EXPECT_FALSE(database.Find(added.Key()));
    EXPECT_TRUE(handle.IsOpen());
}

TEST_F(FileReplacedByAnotherProgramTest, OpeningAgainShowsItsChangeAndSavesWork)
{
    ReplaceTheFile();
    session.CloseDatabase();
    Open(path, u"pw");
    ASSERT_TRUE(database.Find(MakeEntry(u"Cli", u"Added elsewhere").Key()));

    const Entry added = MakeEntry(u"Web", u"New");
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::Saved);
    std::vector<Entry> entries;
    ASSERT_EQ(ReadBack(path, u"pw", &entries), ReadResult::Done);
    EXPECT_EQ(entries.size(), 2u);
}

TEST_F(UndoOnFailedSaveTest, AddIntoAVanishedFolderIsRemovedAgain)
{
    RemoveTheFolder();
    const Entry added = MakeEntry(u"Web", u"New");
    EXPECT_EQ(session.AddEntry(added.Key(), added.Fields()), ChangeResult::NotSaved);

    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_FALSE(database.Find(added.Key()));
    EXPECT_FALSE(handle.IsOpen());
}

TEST_F(UndoOnFailedSaveTest, EditWithTerminatorIsReplacedBack)
{
    const auto old = *database.Find(MakeEntry(u"Web", u"Bank").Key());
    const Entry edited = MakeEntry(u"Work", u"Renamed", u"", u"", u"", FieldTerminatorView);
    EXPECT_EQ(session.ReplaceEntry(old.Key(), edited.Key(), edited.Fields()), ChangeResult::NotSaved);

    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_FALSE(database.Find(edited.Key()));
    EXPECT_EQ(database.Find(old.Key()), old);
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(UndoOnFailedSaveTest, EditIntoAVanishedFolderIsReplacedBack)
{
    RemoveTheFolder();
    const auto old = *database.Find(MakeEntry(u"Web", u"Bank").Key());
    const Entry edited = MakeEntry(u"Web", u"Bank", u"", u"", u"", u"changed notes");
    EXPECT_EQ(session.ReplaceEntry(old.Key(), edited.Key(), edited.Fields()), ChangeResult::NotSaved);

    EXPECT_EQ(database.Find(old.Key()), old);
    EXPECT_EQ(database.Size(), 2u);
}

TEST_F(UndoOnFailedSaveTest, DeleteIntoAVanishedFolderIsAddedBackAndViewsRefreshed)
{
    RemoveTheFolder();
    const auto removed = *database.Find(MakeEntry(u"Mail", u"Box").Key());
    EXPECT_EQ(session.RemoveEntry(removed.Key()), ChangeResult::NotSaved);

    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(database.Find(removed.Key()), removed);
    EXPECT_EQ(view.fills, fillsBefore + 1);
}

TEST_F(UndoOnFailedSaveTest, DeleteWithAnotherEntryHoldingTheTerminatorIsAddedBackAndTheFileHeldAgain)
{
    database.Insert(MakeEntry(u"Z", u"Bad").Key(),
                    MakeEntry(u"Z", u"Bad", u"", u"", u"", FieldTerminatorView).Fields());
    const auto removed = *database.Find(MakeEntry(u"Mail", u"Box").Key());
    EXPECT_EQ(session.RemoveEntry(removed.Key()), ChangeResult::NotSaved);

    EXPECT_EQ(database.Find(removed.Key()), removed);
    EXPECT_TRUE(handle.IsOpen());
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(UndoOnFailedSaveTest, ImportKeepsTheImportedEntriesInMemory)
{
    const Entry imported = MakeEntry(u"Csv", u"Row", u"", u"", u"", FieldTerminatorView);
    EXPECT_EQ(session.ImportEntries([&](CDataBase& into) {
        into.Insert(imported.Key(), imported.Fields());
        return true;
    }),
              ChangeResult::NotSaved);

    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(database.Find(imported.Key()));
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(UndoOnFailedSaveTest, ImportIntoAVanishedFolderKeepsEntriesAndALaterSaveWritesThem)
{
    RemoveTheFolder();
    const Entry imported = MakeEntry(u"Csv", u"Row");
    EXPECT_EQ(session.ImportEntries([&](CDataBase& into) {
        into.Insert(imported.Key(), imported.Fields());
        return true;
    }),
              ChangeResult::NotSaved);
    EXPECT_TRUE(database.Find(imported.Key()));

    std::filesystem::create_directory(dbFolder);
    EXPECT_TRUE(session.SaveAndReopen());
    std::vector<Entry> entries;
    ASSERT_EQ(ReadBack(path, u"pw", &entries), ReadResult::Done);
    EXPECT_EQ(entries.size(), 3u);
    EXPECT_TRUE(handle.IsOpen());
}

class LockTest : public DatabaseSessionTest
{
protected:
    void SetUp() override
    {
        MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank"), MakeEntry(u"Mail", u"Box")});
        Open(path, u"pw");
        opened = Entries();
    }
    std::filesystem::path path = folder / "db.ldb";
    std::vector<Entry> opened;
};

TEST_F(LockTest, LockEmptiesTheCollectionButKeepsPathPasswordAndHandle)
{
    session.Lock();
    EXPECT_TRUE(database.Empty());
    EXPECT_TRUE(session.IsLocked());
    EXPECT_FALSE(session.IsOpen());
    EXPECT_EQ(lastPath, PathText(path));
    EXPECT_EQ(session.MasterPassword(), ToSecure(u"pw"));
    EXPECT_TRUE(handle.IsOpen());
    EXPECT_EQ(view.commandsEnabled, false);
}

TEST_F(LockTest, UnlockWithTheRightPasswordShowsTheSameEntries)
{
    session.Lock();
    prompts.Password(u"wrong");
    prompts.Password(u"pw");
    EXPECT_TRUE(session.Unlock());
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{InvalidPassword});
    EXPECT_EQ(Entries(), opened);
    EXPECT_FALSE(session.IsLocked());
    EXPECT_TRUE(session.IsOpen());
    EXPECT_TRUE(handle.IsOpen());
    EXPECT_EQ(view.commandsEnabled, true);
}

TEST_F(LockTest, CancelledUnlockLeavesNoDatabaseOpen)
{
    session.Lock();
    EXPECT_FALSE(session.Unlock());
    EXPECT_TRUE(lastPath.empty());
    EXPECT_FALSE(session.IsLocked());
    EXPECT_FALSE(session.IsOpen());
    EXPECT_FALSE(handle.IsOpen());
    EXPECT_TRUE(database.Empty());
}

class StartupOpenTest : public DatabaseSessionTest
{
protected:
    std::filesystem::path path = folder / "last.ldb";
};

TEST_F(StartupOpenTest, OpensTheLastDatabaseWithItsPassword)
{
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank")});
    lastPath = PathText(path);
    prompts.Password(u"pw");
    session.StartupOpen(true);
    EXPECT_EQ(lastPath, PathText(path));
    EXPECT_EQ(database.Size(), 1u);
    EXPECT_FALSE(session.IsLocked());
    EXPECT_TRUE(handle.IsOpen());
}

TEST_F(StartupOpenTest, AVanishedFileIsSilentlyForgotten)
{
    lastPath = PathText(path);
    session.StartupOpen(true);
    EXPECT_TRUE(lastPath.empty());
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(StartupOpenTest, ThreeWrongPasswordsThenCancelLeavesNoDatabase)
{
    MakeFile(path, u"pw", {});
    lastPath = PathText(path);
    for (auto wrong : {u"a", u"b", u"c"}) {
        prompts.Password(std::u16string(wrong));
    }
    session.StartupOpen(true);
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>(3, InvalidPassword));
    EXPECT_EQ(prompts.asked, std::vector<std::u16string>(4, AskOpenPassword));
    EXPECT_TRUE(lastPath.empty());
    EXPECT_FALSE(session.IsLocked());
}

TEST_F(StartupOpenTest, WithoutLastDbNothingOpensAndNothingLooksOpen)
{
    MakeFile(path, u"pw", {});
    lastPath = PathText(path);
    session.StartupOpen(false);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_TRUE(lastPath.empty());

    session.CreateDatabase(); // no question 125: nothing is open
    EXPECT_EQ(prompts.asked, std::vector<std::u16string>{u"save:lockmere.ldb"});
}

class MergeImportTest : public DatabaseSessionTest
{
protected:
    void SetUp() override
    {
        MakeFile(path, u"own", {MakeEntry(u"Web", u"Bank")});
        MakeFile(other, u"theirs", {MakeEntry(u"Web", u"Bank"), MakeEntry(u"Mail", u"Box")});
        Open(path, u"own");
    }
    std::filesystem::path path = folder / "db.ldb";
    std::filesystem::path other = folder / "other.ldb";
};

TEST_F(MergeImportTest, MergesUnderTheOtherPasswordAndSavesUnderItsOwn)
{
    prompts.OpenFile(other);
    prompts.Password(u"theirs");
    session.MergeImport();

    EXPECT_EQ(prompts.asked, (std::vector<std::u16string>{u"tip:1:173", u"open", u"password:2"}));
    std::vector<Entry> entries;
    ASSERT_EQ(ReadBack(path, u"own", &entries), ReadResult::Done);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].title, ToSecure(u"Box"));
    EXPECT_EQ(entries[1].title, ToSecure(u"Bank"));
    EXPECT_EQ(entries[2].title, ToSecure(u"Bank1"));
    EXPECT_EQ(session.MasterPassword(), ToSecure(u"own"));
    EXPECT_TRUE(handle.IsOpen());
}

TEST_F(MergeImportTest, WrongPasswordLeavesEverythingAndStartsOverAtTheTip)
{
    const std::string before = ReadFileBytes(path);
    prompts.OpenFile(other);
    prompts.Password(u"own");
    session.MergeImport(); // Cancel at the second file dialog

    EXPECT_EQ(prompts.asked,
              (std::vector<std::u16string>{u"tip:1:173", u"open", u"password:2", u"tip:1:173", u"open"}));
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{InvalidPassword});
    EXPECT_EQ(database.Size(), 1u);
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(MergeImportTest, MergingItselfDoublesEveryEntry)
{
    prompts.OpenFile(path);
    prompts.Password(u"own");
    session.MergeImport();
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_TRUE(database.Find(MakeEntry(u"Web", u"Bank1").Key()));
}

class SessionPathTest : public DatabaseSessionTest
{};

TEST_F(SessionPathTest, FileNameAndFolderSplitAtTheLastSeparator)
{
    lastPath = u"/home/user/keys/lockmere.ldb";
    EXPECT_EQ(session.FileName(), u"lockmere.ldb");
    EXPECT_EQ(session.Folder(), u"/home/user/keys/");
    lastPath = u"lockmere.ldb";
    EXPECT_EQ(session.FileName(), u"lockmere.ldb");
    EXPECT_EQ(session.Folder(), u"");
}
// Opening a file the user named outside the program: on the command line, or in a second start.
class OpenNamedFileTest : public DatabaseSessionTest
{
protected:
    std::filesystem::path first = folder.Path() / "first.ldb";
    std::filesystem::path second = folder.Path() / "second.ldb";
};

TEST_F(OpenNamedFileTest, OpensTheFileAfterItsPasswordPromptNamedIt)
{
    MakeFile(second, u"pw", {MakeEntry(u"Web", u"Bank")});
    prompts.Password(u"wrong");
    prompts.Password(u"pw");
    EXPECT_TRUE(session.OpenFile(second));
    EXPECT_EQ(lastPath, PathText(second));
    EXPECT_EQ(database.Size(), 1u);
    EXPECT_EQ(prompts.asked, (std::vector<std::u16string>{AskOpenPassword, AskOpenPassword}));
    EXPECT_EQ(prompts.passwordFiles, (std::vector<std::filesystem::path>{second, second}));
}

TEST_F(OpenNamedFileTest, AnotherOpenDatabaseIsClosedOnlyAfterAsking)
{
    MakeFile(first, u"one", {MakeEntry(u"Web", u"First")});
    MakeFile(second, u"two", {MakeEntry(u"Web", u"Second")});
    Open(first, u"one");

    prompts.Answer(false);
    EXPECT_FALSE(session.OpenFile(second));
    EXPECT_EQ(lastPath, PathText(first));
    EXPECT_TRUE(database.Find(MakeEntry(u"Web", u"First").Key()));

    prompts.Answer(true);
    prompts.Password(u"two");
    EXPECT_TRUE(session.OpenFile(second));
    EXPECT_EQ(lastPath, PathText(second));
    EXPECT_TRUE(database.Find(MakeEntry(u"Web", u"Second").Key()));
    EXPECT_EQ(prompts.asked, (std::vector<std::u16string>{CloseQuestion, CloseQuestion, AskOpenPassword}));
}

TEST_F(OpenNamedFileTest, TheOpenOrLockedDatabaseItselfIsLeftAsItIs)
{
    MakeFile(first, u"one", {MakeEntry(u"Web", u"First")});
    Open(first, u"one");
    // Another spelling of the same file is the same file.
    EXPECT_TRUE(session.OpenFile(folder.Path() / "." / "first.ldb"));
    session.Lock();
    EXPECT_TRUE(session.OpenFile(first));
    EXPECT_TRUE(session.IsLocked());
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(OpenNamedFileTest, AFileThatIsNotThereIsReportedByNameBeforeAnyQuestion)
{
    MakeFile(first, u"one", {MakeEntry(u"Web", u"First")});
    Open(first, u"one");
    const std::filesystem::path missing = folder.Path() / "missing.ldb";
    const std::filesystem::path notAFile = folder.Path();
    EXPECT_FALSE(session.OpenFile(missing));
    EXPECT_FALSE(session.OpenFile(notAFile));
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::u16string>{
                  u"The database file could not be opened: " + PathText(missing) + u" (No such file or directory)",
                  u"The database file could not be opened: " + PathText(notAFile) + u" (Not a regular file)"}));
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(lastPath, PathText(first));
    EXPECT_EQ(database.Size(), 1u);
}

TEST_F(OpenNamedFileTest, EveryPasswordPromptNamesItsFile)
{
    MakeFile(first, u"one", {MakeEntry(u"Web", u"First")});
    MakeFile(second, u"two", {MakeEntry(u"Web", u"Second")});
    Open(first, u"one");
    prompts.passwordFiles.clear();
    prompts.OpenFile(second);
    prompts.Password(u"two");
    session.MergeImport();
    prompts.Password(u"wrong");
    session.ChangeMasterPassword();
    EXPECT_EQ(prompts.passwordFiles, (std::vector<std::filesystem::path>{second, first}));
}
} // namespace
