#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "SessionFakes.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/database/WinCrypto.h"
#include "core/session/DatabaseSession.h"
#include "platform/HeldFileHandle.h"
#include "support/EntryBuilder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

// The program's handle, except that another program (a sync tool) may write the file in the moment the session
// lets go of it to save: between the read, or the last save, and the write.
class HandleWithASyncToolBeforeTheWrite : public HeldFileHandle
{
public:
    void Close() override
    {
        HeldFileHandle::Close();
        if (!beforeEachWrite.empty()) {
            const auto write = beforeEachWrite.front();
            if (!keepWriting) {
                beforeEachWrite.erase(beforeEachWrite.begin());
            }
            write();
        }
    }

    // Run, in order, the next time the session lets go of the file each.
    std::vector<std::function<void()>> beforeEachWrite;
    // The first one runs at every let-go, for a tool that never stops.
    bool keepWriting = false;
};

// Answers as PromptScript does, but runs a step of the window's own (a lock, say) while the next question of one kind
// is up: "open" (the file chooser), "password" or "ok-cancel".
class PromptsWithAStep : public PromptScript
{
public:
    std::optional<std::filesystem::path> ChooseFileToOpen() override
    {
        Step(u"open");
        return PromptScript::ChooseFileToOpen();
    }
    std::optional<SecureString> AskPassword(EnterMode mode, const std::filesystem::path& file) override
    {
        Step(u"password");
        return PromptScript::AskPassword(mode, file);
    }
    bool AskOkCancel(const std::u16string& question) override
    {
        Step(u"ok-cancel");
        return PromptScript::AskOkCancel(question);
    }

    void During(std::u16string kind, std::function<void()> then)
    {
        during = std::move(kind);
        step = std::move(then);
    }

private:
    void Step(std::u16string_view kind)
    {
        if (kind == during && step) {
            std::exchange(step, nullptr)();
        }
    }

    std::u16string during;
    std::function<void()> step;
};

// An open database in a folder that a sync tool keeps in step with another machine.
class SyncedFolderTest : public ::testing::Test
{
protected:
    SyncedFolderTest()
        : database(messages, texts)
        , session(database, lastPath, prompts, view, handle)
    {}

    void SetUp() override
    {
        WriteEntries(path, u"pw", {MakeEntry(u"Web", u"Bank", u"ann"), MakeEntry(u"Mail", u"Box", u"bob")});
        prompts.OpenFile(path);
        prompts.Password(u"pw");
        session.OpenDatabase();
        ASSERT_TRUE(session.IsOpen());
        prompts.asked.clear();
        messages.Reset();
    }

    void WriteEntries(const std::filesystem::path& file, std::u16string_view password,
                      const std::vector<Entry>& entries)
    {
        MessageRecorder quiet;
        CDataBase other(quiet, texts);
        for (const Entry& entry : entries) {
            other.Insert(entry.Key(), entry.Fields());
        }
        ASSERT_TRUE(WriteDatabase(other, file, ToSecure(password)));
    }

    // As Syncthing, Nextcloud or Dropbox bring another machine's version: written beside, renamed over the file.
    void ReplaceByRename(const std::vector<Entry>& entries, std::u16string_view password = u"pw")
    {
        const auto beside = folder / ".db.ldb.syncthing.tmp";
        WriteEntries(beside, password, entries);
        ASSERT_EQ(std::rename(beside.c_str(), path.c_str()), 0);
    }

    // As a tool that writes into the file itself: the same file, new content.
    void RewriteInPlace(const std::vector<Entry>& entries)
    {
        const auto beside = folder / "elsewhere.ldb";
        WriteEntries(beside, u"pw", entries);
        WriteFileBytes(path, ReadFileBytes(beside));
    }

    static std::u16string Terminator() { return std::u16string(FieldTerminatorView); }

    // A file of exactly this plaintext, which need not be whole records, under the password "pw".
    void WritePlaintext(const std::filesystem::path& file, std::u16string_view plaintext)
    {
        const SecureString password = ToSecure(u"pw");
        const auto* bytes = reinterpret_cast<const unsigned char*>(plaintext.data());
        SecureBytes inner =
            CWinCrypto(CWinCrypto::Algorithm::TripleDes112, password).Encrypt(bytes, plaintext.size() * 2);
        SecureBytes outer = CWinCrypto(CWinCrypto::Algorithm::Aes256, password).Encrypt(inner.data(), inner.size());
        WriteFileBytes(file, std::string(outer.begin(), outer.end()));
    }

    std::vector<Entry> FileEntries(std::u16string_view password = u"pw") const
    {
        MessageRecorder quiet;
        CDataBase other(quiet, texts);
        EXPECT_EQ(ReadDatabase(other, path, ToSecure(password)), ReadResult::Done);
        return EntriesOf(other);
    }

    TempDir folder;
    std::filesystem::path path = folder / "db.ldb";
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database;
    std::u16string lastPath;
    PromptsWithAStep prompts;
    ViewRecorder view;
    HandleWithASyncToolBeforeTheWrite handle;
    DatabaseSession session;
};
