#pragma once

#include <filesystem>

// Makes SettingsFolder() give `folder` from now on: the portable edition keeps its settings beside itself. Called
// once at start, before the settings are loaded.
void KeepSettingsInFolder(std::filesystem::path folder);
// The folder of the settings file: the one given to KeepSettingsInFolder, else $APPDATA/Tavilo when APPDATA is set,
// else the user's configuration folder ($XDG_CONFIG_HOME, or ~/.config) followed by Tavilo. Empty when none can be
// told.
std::filesystem::path SettingsFolder();
// SettingsFolder() followed by "Lockmere.xml"; empty when the folder cannot be told.
std::filesystem::path SettingsFilePath();
// Makes the settings folder when it is missing, then gives SettingsFilePath(). A folder that cannot be made is left
// to the save, which then reports the failure.
std::filesystem::path PrepareSettingsFile();
