#pragma once

#include <filesystem>

#include "cli/CliContext.h"
#include "core/common/SecureString.h"

enum class NewPasswordMode
{
    NewDatabase,   // the master password of a new database
    ChangeMaster,  // the new master password of an existing database
    EntryPassword, // the password stored in a new entry
    EntryChange,   // the new password of an existing entry
    ExportFile,    // the password of an encrypted export (a KeePassXC database)
};

// What a new password is for.
struct NewPasswordRequest
{
    NewPasswordMode mode = NewPasswordMode::EntryPassword;
    std::filesystem::path database; // named in the master password prompts
    bool allowEmpty = false;        // an empty master password without asking (--allow-empty)
};

// Asks for a new password and its repetition. At a terminal a mismatch asks again, up to three tries; otherwise it
// throws CliFailure with the mismatch message at once. An empty master password is confirmed at a terminal and
// refused without one, unless the request allows it.
SecureString AskNewPassword(CliContext& context, const NewPasswordRequest& request);
