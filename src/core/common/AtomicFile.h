#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

// A file could not be created, written, synced or renamed into place. The previous file is untouched.
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

// Writes the whole file beside the old one, syncs it and renames it over the old one, then syncs the folder, so a
// crash or a failure at any step leaves either the old file or the new one, never a mix. A new file gets
// newFileMode; a replaced file keeps its permissions. Throws FileWriteError, also when another program holds the
// file open against writers (an advisory lock, as the open database is held).
// The check, when given, runs once the existing file is locked, so that nothing can replace it between the check
// and the rename.
void WriteFileAtomically(const std::filesystem::path& path, std::span<const unsigned char> data,
                         mode_t newFileMode = 0600, const TargetCheck& checkTarget = {});

// The steps of an atomic write, for tests that make one of them fail.
enum class WriteStep
{
    Create,
    Write,
    Sync,
    Close, // writes are unbuffered, so closing is the flush: where a file system reports a deferred write error
    Rename,
};

// Makes the next atomic writes fail at `step` (for Write: at the write call numbered writeIndex, from 0) until
// cleared with nullopt. Only tests call this.
void SetWriteFaultForTesting(std::optional<WriteStep> step, int writeIndex = 0);

// Size of each write call, so that tests can make a write fail midway through a large file.
inline constexpr std::size_t AtomicWriteChunkSize = 1 << 20;
