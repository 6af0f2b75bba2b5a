#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <ctime>
#include <filesystem>
#include <optional>

// Which version of a file is at a path: every atomic save makes a new file, so a save by another program shows as a
// different identity, size or modification time.
struct FileVersion
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::time_t modifiedSeconds = 0;
    long modifiedNanoseconds = 0;

    static FileVersion Of(const struct stat& status);
    // Nullopt when there is no file at the path.
    static std::optional<FileVersion> At(const std::filesystem::path& path);

    friend bool operator==(const FileVersion&, const FileVersion&) = default;
};
