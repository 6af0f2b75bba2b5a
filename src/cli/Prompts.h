#pragma once

#include <filesystem>
#include <string>

#include "core/common/TextSource.h"

// Text ids of the password prompts shared by the commands.
inline constexpr int TextIdSpecifyOldMasterPassword = 36; // "Specify the old master password."
inline constexpr int TextIdMasterPasswordFor = 330;       // "Master password for"
inline constexpr int TextIdEntryPasswordPrompt = 331;     // "Password for the new entry"
inline constexpr int TextIdNewMasterPasswordFor = 332;    // "New master password for"
inline constexpr int TextIdConfirmEmptyMaster = 333;      // "The new master password is empty: ... [y/N]"
inline constexpr int TextIdChangedEntryPassword = 334;    // "New password for the entry"

// A prompt that names the database it is for, as "Master password for a.ldb".
std::u16string PromptFor(const ITextSource& texts, int textId, const std::filesystem::path& database);
