#pragma once

#include <filesystem>
#include <vector>

// The files a portable installation carries: from the folder the programs take their language files from (the
// program's own folder, or share/lockmere of an installation).
struct PortableSources
{
    // "pv.dat": the portable edition's program, installed as "Lockmere.exe".
    std::filesystem::path portableProgram;
    // Every "*.txt" and every "*.lng" file, each group sorted by name.
    std::vector<std::filesystem::path> textFiles;
    std::vector<std::filesystem::path> languageFiles;
};

// The one place that tells where the portable edition and the files it needs are found.
PortableSources FindPortableSources(const std::filesystem::path& programFolder);
