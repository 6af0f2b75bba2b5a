#pragma once

#include <filesystem>
#include <string>

#include "support/TempDir.h"

// A folder on a FAT file system, where a file cannot be made without a name (as on many USB sticks): a small image
// mounted through a loop device with the kernel's vfat, or, on a kernel without it, through FUSE with fusefat.
// Mounting needs root; when it cannot be done, Reason() says why, for the test to print as it skips.
class FatFolder
{
public:
    FatFolder();
    ~FatFolder();
    FatFolder(const FatFolder&) = delete;
    FatFolder& operator=(const FatFolder&) = delete;

    bool Mounted() const { return mounted; }
    const std::string& Reason() const { return reason; }
    // How it was mounted: "vfat" or "fusefat".
    const std::string& Kind() const { return kind; }
    const std::filesystem::path& Path() const { return mountPoint; }

private:
    bool Mount();

    TempDir workspace;
    std::filesystem::path image = workspace / "fat.img";
    std::filesystem::path mountPoint = workspace / "mnt";
    bool mounted = false;
    std::string reason;
    std::string kind;
};
