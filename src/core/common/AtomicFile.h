#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "core/common/FileVersion.h"

// A file could not be created, written, synced or renamed into place, or the file in its place may not be replaced
// (read-only, or no regular file). The previous file is untouched.
class FileWriteError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A caller's check of the file about to be replaced refused the write. Carries the text the user is shown.
class TargetCheckFailed : public std::runtime_error
{
public:
    explicit TargetCheckFailed(std::u16string message)
        : std::runtime_error("the file to be replaced failed the caller's check")
        , message(std::move(message))
    {}
    const std::u16string& Message() const { return message; }

private:
    std::u16string message;
};

// Looks at the file about to be replaced (nullptr when there is none) while no other Lockmere can replace it; throws
// TargetCheckFailed to stop the write.
using TargetCheck = std::function<void(const struct stat* existing)>;

// The system calls that write the new file, one virtual each, so that tests can make any of them fail. The programs
// use the system's own.
class FileSystemCalls
{
public:
    virtual ~FileSystemCalls() = default;
    // A file without a name in `folder` (O_TMPFILE); fails with EOPNOTSUPP, EISDIR or EINVAL where the file system
    // cannot make one.
    virtual int CreateUnnamed(const char* folder, mode_t mode) const;
    // A file under a temporary name, for those file systems.
    virtual int CreateTemporary(char* pathTemplate, int suffixLength) const;
    virtual ssize_t Write(int descriptor, const void* data, std::size_t size) const;
    virtual int Sync(int descriptor) const;
    virtual int Close(int descriptor) const;
    // Gives the unnamed file open at `descriptor` the name `to`; fails with EEXIST when the name is taken.
    virtual int Link(int descriptor, const char* to) const;
    virtual int Rename(const char* from, const char* to) const;
    // A rename that fails with EEXIST instead of replacing a file.
    virtual int RenameNoReplace(const char* from, const char* to) const;

    static const FileSystemCalls& System();
};

// How a file is replaced, besides its content.
struct FileReplacement
{
    FileReplacement(TargetCheck checkTarget = {}, const FileSystemCalls& calls = FileSystemCalls::System(),
                    mode_t newFileMode = 0600)
        : checkTarget(std::move(checkTarget))
        , calls(&calls)
        , newFileMode(newFileMode)
    {}
    // Other system calls alone, from a test.
    FileReplacement(const FileSystemCalls& calls)
        : FileReplacement({}, calls)
    {}
    // A check alone, written as a lambda at the call.
    template <class Check>
    requires std::is_invocable_v<Check, const struct stat*> FileReplacement(Check check)
        : FileReplacement(TargetCheck(std::move(check)))
    {}

    // Runs once the existing file is locked, so that nothing can replace it between the check and the rename.
    TargetCheck checkTarget;
    const FileSystemCalls* calls;
    // Mode of a new file; a replaced file keeps its own mode, owner and group where the system allows it.
    mode_t newFileMode;
    // False: the write only makes a new file, and fails when any file (or link) has the name, also one that appears
    // while the content is written.
    bool replaceExisting = true;
};

// Writes the whole file without a name in the target's folder, syncs it, and only then gives it a name: the target's
// own where it is free, else a temporary one that is at once renamed over the old file; then syncs the folder. So a
// crash, a kill or a failure at any step leaves either the old file or the new one, never a mix, and no part of the
// content under any name. Where the file system cannot make a file without a name, the content is written under a
// temporary name, removed on failure and on SIGINT, SIGTERM and SIGHUP. Refuses a target that is read-only or no
// regular file, and one that another program holds open against writers (an advisory lock, as the open database is
// held). Temporary files of earlier writes that were killed midway are removed from the folder. Returns the version
// of the file written. Throws FileWriteError.
FileVersion WriteFileAtomically(const std::filesystem::path& path, std::span<const unsigned char> data,
                                const FileReplacement& how = {});

// Removes from the folder a save of `file` writes in the named temporary files that saves killed midway left there
// (older versions wrote every file under a temporary name first; where a file system cannot make unnamed files we
// still do): only ours, only when no running save holds them and they have not changed for a while. A save does so
// itself; opening a file calls it, so that they do not wait for the next save into that folder.
void RemoveStaleTemporaryFilesBeside(const std::filesystem::path& file);

// Hands one piece of a file's content on to be written.
using ContentSink = std::function<void(std::span<const unsigned char> piece)>;

// The same, with the content made piece by piece by `produce`, which passes each piece to the sink it is given, so
// that a large file need not be held in memory whole. An exception from `produce` leaves the old file whole.
FileVersion WriteFileAtomicallyInPieces(const std::filesystem::path& path,
                                        const std::function<void(const ContentSink&)>& produce,
                                        const FileReplacement& how = {});

// Size of each write call, so that tests can make a write fail midway through a large file.
inline constexpr std::size_t AtomicWriteChunkSize = 1 << 20;
