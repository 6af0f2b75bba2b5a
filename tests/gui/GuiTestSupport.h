#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/database/DataBase.h"
#include "core/session/IDatabaseFileHandle.h"
#include "core/session/IPrompts.h"
#include "core/session/ISessionView.h"
#include "support/EntryBuilder.h"

class EntryViews;

// Creates the one QApplication the widget tests share (defined beside the modal-dialog driver).
void EnsureApplication();

// A first base class for fixtures whose members are widgets: the application exists before they are built.
struct WithApplication
{
    WithApplication() { EnsureApplication(); }
};

void AddEntries(CDataBase& database, const std::vector<Entry>& entries);

// Answers the lifecycle's questions: a fixed password for every open, prepared OK/Cancel answers (Cancel when none
// is left), and records the OK/Cancel questions asked.
class ScriptedPrompts : public IPrompts
{
public:
    std::optional<std::filesystem::path> ChooseFileToOpen() override { return std::nullopt; }
    std::optional<std::filesystem::path> ChooseFileToSave(const std::u16string&) override { return std::nullopt; }
    std::optional<SecureString> AskPassword(EnterMode, const std::filesystem::path&) override { return password; }
    std::optional<SecureString> AskNewPassword(SetPasswordMode) override { return std::nullopt; }
    bool AskOkCancel(const std::u16string& question) override;
    void ShowTip(int, int) override {}

    SecureString password = ToSecure(u"master");
    std::deque<bool> answers;
    std::vector<std::u16string> questions;
};

// Lets the lifecycle refill the real views, as the main window does.
class ViewsAdapter : public ISessionView
{
public:
    explicit ViewsAdapter(EntryViews& views)
        : views(views)
    {}
    void FillViews() override;
    void ClearViews() override;
    void EnableCommands(bool) override {}
    void ShowPath(const std::u16string&) override {}
    void ShowChangedEntries() override;

    int fills = 0;

private:
    EntryViews& views;
};

// A fake database file handle that only remembers whether it is held.
class FakeHandle : public IDatabaseFileHandle
{
public:
    bool Open(const std::filesystem::path& path) override
    {
        heldPath = path;
        return held = true;
    }
    void Close() override { held = false; }
    bool IsOpen() const override { return held; }
    std::optional<FileVersion> HeldVersion() const override { return held ? FileVersion::At(heldPath) : std::nullopt; }

    bool held = false;
    std::filesystem::path heldPath;
};
