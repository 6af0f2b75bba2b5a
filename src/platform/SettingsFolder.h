#pragma once

#include <filesystem>

// The folder of the settings file: $APPDATA/Tavilo when APPDATA is set, else the user's configuration folder
// ($XDG_CONFIG_HOME, or ~/.config) followed by Tavilo. Empty when neither can be told.
std::filesystem::path SettingsFolder();
// SettingsFolder() followed by "Lockmere.xml"; empty when the folder cannot be told.
std::filesystem::path SettingsFilePath();
// Makes the settings folder when it is missing, then gives SettingsFilePath(). A folder that cannot be made is left
// to the save, which then reports the failure.
std::filesystem::path PrepareSettingsFile();
