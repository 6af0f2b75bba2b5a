#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/common/FileVersion.h"
#include "core/common/SecureString.h"

// What the password prompt is asking for; the dialog's caption and prompt line follow from it.
enum class EnterMode
{
    Open = 0,
    OldPassword = 1,
    Merge = 2,
};

// What the new-password prompt is for.
enum class SetPasswordMode
{
    NewDatabase = 0,
    Change = 1,
};

// The questions the database lifecycle asks the user. The GUI answers with dialogs, tests with prepared answers.
// Every optional is empty when the user cancelled.
class IPrompts
{
public:
    virtual ~IPrompts() = default;
    virtual std::optional<std::filesystem::path> ChooseFileToOpen() = 0;
    // Proposes a file name without a folder; asks before overwriting an existing file.
    virtual std::optional<std::filesystem::path> ChooseFileToSave(const std::u16string& proposedName) = 0;
    virtual std::optional<SecureString> AskPassword(EnterMode mode) = 0;
    // The new password, already typed twice and checked for equality.
    virtual std::optional<SecureString> AskNewPassword(SetPasswordMode mode) = 0;
    // True for OK.
    virtual bool AskOkCancel(const std::u16string& question) = 0;
    // Shows the advice text unless the user has switched that tip off; the answer does not matter.
    virtual void ShowTip(int tip, int textId) = 0;
};

// How the lifecycle keeps the window's views in step with the open database.
class ISessionView
{
public:
    virtual ~ISessionView() = default;
    // Rebuilds the list's columns and fills the tree and list from the collection.
    virtual void FillViews() = 0;
    // Empties the tree, the list and its columns, and the status panes.
    virtual void ClearViews() = 0;
    // Enables the commands for an open database, or disables them; no entry is current afterwards.
    virtual void EnableCommands(bool databaseOpen) = 0;
    virtual void ShowPath(const std::u16string& path) = 0;
};

// The open database file, held so that other programs cannot write, move or delete it while it is open here.
class IDatabaseFileHandle
{
public:
    virtual ~IDatabaseFileHandle() = default;
    virtual bool Open(const std::filesystem::path& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The version of the file held, taken from the held descriptor itself: the path may meanwhile name another file.
    virtual std::optional<FileVersion> HeldVersion() const = 0;
};
