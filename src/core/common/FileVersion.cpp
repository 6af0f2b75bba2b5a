#include "core/common/FileVersion.h"

FileVersion FileVersion::Of(const struct stat& status)
{
    return FileVersion{status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

std::optional<FileVersion> FileVersion::At(const std::filesystem::path& path)
{
    struct stat status
    {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return Of(status);
}
