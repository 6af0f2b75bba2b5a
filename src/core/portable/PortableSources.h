#pragma once

#include <filesystem>
#include <vector>

// The files a portable installation carries, all from one portable copy of the program (see FindPortableSources).
// Names are relative to the copy's folder, and each file keeps its place in the destination.
struct PortableSources
{
    std::filesystem::path folder;
    // "Lockmere.exe": the portable edition's program file.
    std::filesystem::path programFile;
    // What the program file needs to run: its launcher "Lockmere" and everything under "lib", "plugins" and
    // "translations" (the libraries, Qt's plugins and Qt's own texts), in name order.
    std::vector<std::filesystem::path> runtimeFiles;
    // Every "*.txt" and every "*.lng" file beside the program file, each group sorted by name.
    std::vector<std::filesystem::path> textFiles;
    std::vector<std::filesystem::path> languageFiles;
};

// The one place that tells where the portable copy is: the program's own folder when the program runs from a
// portable copy; "../lib/lockmere/portable" beside it in an installation; "../portable/Lockmere" in the build folder,
// where `make portable` puts it. When none of them exists, the installation's, so that installing reports the missing
// program file.
PortableSources FindPortableSources(const std::filesystem::path& programFolder);
