#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/session/DatabaseSession.h"
#include "core/session/IPrompts.h"
#include "core/session/ISessionView.h"
#include "platform/HeldFileHandle.h"
#include "support/MessageRecorder.h"

// Answers the lifecycle's questions from prepared queues and records every question, in order. A question with
// no prepared answer is answered with Cancel, so a test never loops for ever.
class PromptScript : public IPrompts
{
public:
    std::optional<std::filesystem::path> ChooseFileToOpen() override;
    std::optional<std::filesystem::path> ChooseFileToSave(const std::u16string& proposedName) override;
    std::optional<SecureString> AskPassword(EnterMode mode, const std::filesystem::path& file) override;

    std::optional<SecureString> AskNewPassword(SetPasswordMode mode) override;
    bool AskOkCancel(const std::u16string& question) override;
    void ShowTip(int tip, int textId) override;

    void OpenFile(std::optional<std::filesystem::path> path) { openFiles.push_back(std::move(path)); }
    void SaveFile(std::optional<std::filesystem::path> path) { saveFiles.push_back(std::move(path)); }
    void Password(std::optional<std::u16string> password) { passwords.push_back(std::move(password)); }
    void NewPassword(std::optional<std::u16string> password) { newPasswords.push_back(std::move(password)); }
    void Answer(bool ok) { answers.push_back(ok); }

    // Every question in the order asked: "open", "save:<proposed name>", "password:<mode>",
    // "new-password:<mode>", "ok-cancel:<question>", "tip:<tip>:<text id>".
    std::vector<std::u16string> asked;
    // The file each password prompt named, in order.
    std::vector<std::filesystem::path> passwordFiles;

private:
    std::deque<std::optional<std::filesystem::path>> openFiles;
    std::deque<std::optional<std::filesystem::path>> saveFiles;
    std::deque<std::optional<std::u16string>> passwords;
    std::deque<std::optional<std::u16string>> newPasswords;
    std::deque<bool> answers;
};

// Records what the views were told.
class ViewRecorder : public ISessionView
{
public:
    void FillViews() override { ++fills; }
    void ClearViews() override { ++clears; }
    void EnableCommands(bool databaseOpen) override { commandsEnabled = databaseOpen; }
    void ShowPath(const std::u16string& path) override { shownPath = path; }
    void AfterReload(const std::u16string& note) override
    {
        ++fills;
        notes.push_back(note);
    }

    int fills = 0;
    int clears = 0;
    std::optional<bool> commandsEnabled;
    std::u16string shownPath;
    // The status-bar notes of every reload, in order.
    std::vector<std::u16string> notes;
};

// The desktop program's session on real files, with scripted answers, recorded messages and recorded views.
struct ScriptedSession
{
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database{messages, texts};
    std::u16string lastPath;
    PromptScript prompts;
    ViewRecorder view;
    HeldFileHandle handle;
    DatabaseSession session{database, lastPath, prompts, view, handle};
};
