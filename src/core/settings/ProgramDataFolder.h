#pragma once

#include <filesystem>

// The folder of the files shipped with the program (the language files and "Readme.txt"), so that both programs look
// in one place: the program's own folder when it holds language files (a build folder, a portable copy), otherwise
// "../share/lockmere" beside it when that exists (an installation under a prefix such as /usr), otherwise the
// program's own folder again. The portable copy that the installer copies is found by FindPortableSources.
std::filesystem::path ProgramDataFolder(const std::filesystem::path& programFolder);
