#pragma once

// Text ids of the password prompts shared by the commands.
inline constexpr int TextIdMasterPasswordPrompt = 222;    // "Password"
inline constexpr int TextIdSpecifyOldMasterPassword = 36; // "Specify the old master password."
