#include "core/portable/PortableSources.h"

#include <algorithm>

#include "core/settings/ProgramDataFolder.h"

namespace {
std::vector<std::filesystem::path> FilesWithExtension(const std::filesystem::path& folder, std::string_view extension)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code typeError;
        if (entry->path().extension() == extension && entry->is_regular_file(typeError)) {
            files.push_back(entry->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}
} // namespace

PortableSources FindPortableSources(const std::filesystem::path& programFolder)
{
    const std::filesystem::path folder = ProgramDataFolder(programFolder);
    return {folder / "pv.dat", FilesWithExtension(folder, ".txt"), FilesWithExtension(folder, ".lng")};
}
