#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <span>
#include <string>

#include "core/common/FileVersion.h"
#include "core/common/UniqueFd.h"

class FileSystemCalls;

// The new content of a file while it is written. Where the file system allows it the file has no name at all until
// it is complete and synced, so that no kill, crash or power loss can leave any part of it where somebody could read
// it. Elsewhere (FAT, some network file systems) it is written under a temporary name beside the target, which
// SIGINT, SIGTERM and SIGHUP remove and which is removed when the write fails or is abandoned.
class UnpublishedFile
{
public:
    // Throws FileWriteError when no file can be created in the target's folder.
    UnpublishedFile(const std::filesystem::path& target, const FileSystemCalls& calls);
    ~UnpublishedFile();
    UnpublishedFile(const UnpublishedFile&) = delete;
    UnpublishedFile& operator=(const UnpublishedFile&) = delete;

    // The mode, and the owner and group of the file replaced (nullptr when there is none).
    void TakeOver(mode_t mode, const struct stat* replaced);
    void WriteAll(std::span<const unsigned char> data);
    // Makes the content durable and tells the version it will have once published.
    FileVersion Sync();
    // Gives the complete content the target's name: over the file there, or, when `replaceExisting` is false, only
    // while no file has that name.
    void Publish(bool replaceExisting);

    // Whether the content is being written under a temporary name.
    bool Named() const { return !temporaryName.empty(); }

private:
    void CreateNamed();
    void LinkUnderTemporaryName();
    bool LinkAsTarget(bool replaceExisting);
    void CloseChecked(const std::string& name);
    void PutInPlace(bool replaceExisting);

    const FileSystemCalls& calls;
    std::filesystem::path target;
    UniqueFd descriptor;
    std::string temporaryName;
    int signalSlot = -1;
    bool published = false;
};

// Whether a file name is one of our temporary names, NAME.XXXXXX.lockmere-tmp.
bool IsOurTemporaryName(std::string_view name);
