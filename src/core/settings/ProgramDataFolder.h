#pragma once

#include <filesystem>

// The folder of the files shipped with the program (the language files, "Readme.txt" and "pv.dat"), so that the
// programs and the portable installer look in one place: the program's own folder when it holds language files (a
// build folder, a portable copy), otherwise "../share/lockmere" beside it when that exists (an installation under a
// prefix such as /usr), otherwise the program's own folder again.
std::filesystem::path ProgramDataFolder(const std::filesystem::path& programFolder);
