#pragma once

#include "cli/CliContext.h"
#include "core/common/SecureString.h"

enum class NewPasswordMode
{
    NewDatabase,   // the master password of a new database
    ChangeMaster,  // the new master password of an existing database
    EntryPassword, // the password stored in an entry
};

// Asks for a new password and its repetition; throws CliFailure with the mismatch message when they differ.
SecureString AskNewPassword(CliContext& context, NewPasswordMode mode);
