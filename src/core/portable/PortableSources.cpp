#include "core/portable/PortableSources.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {
constexpr char ProgramFileName[] = "Lockmere.exe";
constexpr char LauncherName[] = "Lockmere";
constexpr std::array<std::string_view, 3> RuntimeFolders = {"lib", "plugins", "translations"};

bool IsRegularFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool IsPortableCopy(const std::filesystem::path& folder)
{
    return IsRegularFile(folder / ProgramFileName) && IsRegularFile(folder / LauncherName);
}

std::filesystem::path PortableCopyFolder(const std::filesystem::path& programFolder)
{
    if (IsPortableCopy(programFolder)) {
        return programFolder;
    }
    const std::filesystem::path installed = programFolder.parent_path() / "lib" / "lockmere" / "portable";
    const std::filesystem::path built = programFolder.parent_path() / "portable" / "Lockmere";
    return !IsPortableCopy(installed) && IsPortableCopy(built) ? built : installed;
}

std::vector<std::filesystem::path> FilesWithExtension(const std::filesystem::path& folder, std::string_view extension)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().extension() == extension && IsRegularFile(entry->path())) {
            files.push_back(entry->path().filename());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::filesystem::path> RuntimeFiles(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files{LauncherName};
    for (const std::string_view name : RuntimeFolders) {
        std::error_code error;
        // Links are never followed: a copy holds none, and one made by hand must not carry files from elsewhere.
        for (std::filesystem::recursive_directory_iterator entry(folder / name, error), end; !error && entry != end;
             entry.increment(error)) {
            std::error_code typeError;
            if (entry->is_regular_file(typeError) && !entry->is_symlink(typeError)) {
                files.push_back(entry->path().lexically_relative(folder));
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}
} // namespace

PortableSources FindPortableSources(const std::filesystem::path& programFolder)
{
    const std::filesystem::path folder = PortableCopyFolder(programFolder);
    return {folder, ProgramFileName, RuntimeFiles(folder), FilesWithExtension(folder, ".txt"),
            FilesWithExtension(folder, ".lng")};
}
