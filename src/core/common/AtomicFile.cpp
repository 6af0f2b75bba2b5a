#include "core/common/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>

#include "core/common/UniqueFd.h"

namespace {
// Our temporary files are NAME.XXXXXX.lockmere-tmp: the suffix tells them from anybody else's files.
constexpr std::string_view TemporarySuffix = ".lockmere-tmp";
constexpr std::size_t RandomPartLength = 6;
// A temporary file nobody has locked for this long belongs to a save that was killed.
constexpr std::time_t StaleAfterSeconds = 60;

[[noreturn]] void Fail(const std::string& what, int error)
{
    throw FileWriteError(what + ": " + std::strerror(error));
}

// Removes the temporary file unless the write got as far as the rename. Holds an exclusive lock on it while it is
// written, so that the cleaning of stale files never takes a file that a running save is still writing.
class TemporaryFile
{
public:
    TemporaryFile(const std::filesystem::path& target, const FileSystemCalls& calls)
        : calls(calls)
        , path(target.string() + "." + std::string(RandomPartLength, 'X') + std::string(TemporarySuffix))
    {
        descriptor.Reset(calls.CreateTemporary(path.data(), static_cast<int>(TemporarySuffix.size())));
        if (!descriptor.Valid()) {
            Fail("cannot create a file beside " + target.string(), errno);
        }
        created = true;
        ::flock(descriptor.Get(), LOCK_EX | LOCK_NB);
    }
    ~TemporaryFile()
    {
        if (created && !renamed) {
            ::unlink(path.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // The mode, and the owner and group of the file replaced: a save by root must not take another user's file.
    void TakeOver(mode_t mode, const struct stat* replaced)
    {
        if (replaced != nullptr && (replaced->st_uid != ::geteuid() || replaced->st_gid != ::getegid())) {
            // Not allowed for an ordinary user giving a file away; that user's own file keeps them anyway.
            [[maybe_unused]] const int owned = ::fchown(descriptor.Get(), replaced->st_uid, replaced->st_gid);
        }
        if (::fchmod(descriptor.Get(), mode) != 0) {
            Fail("cannot set the permissions of " + path, errno);
        }
    }

    void WriteAll(std::span<const unsigned char> data)
    {
        while (!data.empty()) {
            const std::size_t chunk = std::min(data.size(), AtomicWriteChunkSize);
            const ssize_t written = calls.Write(descriptor.Get(), data.data(), chunk);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                Fail("cannot write " + path, written < 0 ? errno : ENOSPC);
            }
            data = data.subspan(static_cast<std::size_t>(written));
        }
    }

    FileVersion SyncAndClose()
    {
        if (calls.Sync(descriptor.Get()) != 0) {
            Fail("cannot sync " + path, errno);
        }
        struct stat status
        {};
        if (::fstat(descriptor.Get(), &status) != 0) {
            Fail("cannot look at " + path, errno);
        }
        if (calls.Close(descriptor.Release()) != 0) {
            Fail("cannot close " + path, errno);
        }
        return FileVersion::Of(status);
    }

    void RenameOver(const std::filesystem::path& target)
    {
        if (calls.Rename(path.c_str(), target.c_str()) != 0) {
            Fail("cannot replace " + target.string(), errno);
        }
        renamed = true;
    }

private:
    const FileSystemCalls& calls;
    std::string path;
    UniqueFd descriptor;
    bool created = false;
    bool renamed = false;
};

// Holds an exclusive advisory lock on the existing target while it is replaced, so that a file another Lockmere
// holds open (with a shared lock) is refused instead of being replaced behind its back.
class TargetLock
{
public:
    TargetLock(const std::filesystem::path& target)
    {
        // Without blocking: a pipe in the file's place would otherwise hang the program here.
        descriptor.Reset(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
        if (!descriptor.Valid()) {
            if (errno != ENOENT) {
                Fail("cannot open " + target.string(), errno);
            }
            return;
        }
        if (::fstat(descriptor.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
            Fail(target.string() + " is no regular file", EINVAL);
        }
        // Renaming over a file succeeds whatever its permissions; honour the user's protection instead.
        if ((status.st_mode & S_IWUSR) == 0) {
            Fail(target.string() + " is read-only", EACCES);
        }
        if (::flock(descriptor.Get(), LOCK_EX | LOCK_NB) != 0) {
            Fail(target.string() + " is in use by another program", errno);
        }
        // Another writer may have put a new file in place between our open and our lock; the lock then guards a
        // file that is no longer there, and replacing the path would undo that writer's change unseen.
        struct stat atPath
        {};
        if (::stat(target.c_str(), &atPath) != 0 || atPath.st_dev != status.st_dev || atPath.st_ino != status.st_ino) {
            Fail(target.string() + " was replaced by another program", EBUSY);
        }
        locked = true;
    }
    // The status of the locked file, or nullptr when there was none.
    const struct stat* Existing() const { return locked ? &status : nullptr; }

private:
    UniqueFd descriptor;
    struct stat status
    {};
    bool locked = false;
};

// What a save of `path` replaces: the file a link there points to rather than the link itself.
std::filesystem::path TargetOf(const std::filesystem::path& path)
{
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        std::filesystem::path target = std::filesystem::canonical(path, error);
        if (!error) {
            return target;
        }
    }
    return path;
}

std::filesystem::path FolderOf(const std::filesystem::path& target)
{
    const std::filesystem::path folder = target.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

bool IsOurTemporaryName(std::string_view name)
{
    if (name.size() < TemporarySuffix.size() + RandomPartLength + 2 || !name.ends_with(TemporarySuffix)) {
        return false;
    }
    const std::string_view random =
        name.substr(name.size() - TemporarySuffix.size() - RandomPartLength, RandomPartLength);
    for (const char character : random) {
        if (!std::isalnum(static_cast<unsigned char>(character))) {
            return false;
        }
    }
    return name[name.size() - TemporarySuffix.size() - RandomPartLength - 1] == '.';
}

// Best effort: a temporary file left by a save that was killed midway. Only our own files, only regular ones, only
// when no running save holds them.
void RemoveStaleTemporaryFiles(const std::filesystem::path& folder)
{
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return;
    }
    const std::time_t now = std::time(nullptr);
    while (const dirent* item = ::readdir(listing)) {
        if (!IsOurTemporaryName(item->d_name)) {
            continue;
        }
        const UniqueFd file(
            ::openat(::dirfd(listing), item->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
        struct stat status
        {};
        if (!file.Valid() || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != ::geteuid() || now - status.st_mtime < StaleAfterSeconds ||
            ::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
            continue;
        }
        ::unlinkat(::dirfd(listing), item->d_name, 0);
    }
    ::closedir(listing);
}

// Makes the rename durable. Best effort: once the rename is done the new file is in place, and reporting a failure
// here would make the caller undo a change that the file already holds.
void SyncFolder(const std::filesystem::path& folder)
{
    const UniqueFd descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (descriptor.Valid()) {
        ::fsync(descriptor.Get());
    }
}
} // namespace

int FileSystemCalls::CreateTemporary(char* pathTemplate, int suffixLength) const
{
    return ::mkostemps(pathTemplate, suffixLength, O_CLOEXEC);
}

ssize_t FileSystemCalls::Write(int descriptor, const void* data, std::size_t size) const
{
    return ::write(descriptor, data, size);
}

int FileSystemCalls::Sync(int descriptor) const
{
    return ::fsync(descriptor);
}

int FileSystemCalls::Close(int descriptor) const
{
    return ::close(descriptor);
}

int FileSystemCalls::Rename(const char* from, const char* to) const
{
    return ::rename(from, to);
}

const FileSystemCalls& FileSystemCalls::System()
{
    static const FileSystemCalls system;
    return system;
}

FileVersion WriteFileAtomically(const std::filesystem::path& path, std::span<const unsigned char> data,
                                const FileReplacement& how)
{
    return WriteFileAtomicallyInPieces(
        path, [data](const ContentSink& write) { write(data); }, how);
}

FileVersion WriteFileAtomicallyInPieces(const std::filesystem::path& path,
                                        const std::function<void(const ContentSink&)>& produce,
                                        const FileReplacement& how)
{
    const std::filesystem::path target = TargetOf(path);
    const std::filesystem::path folder = FolderOf(target);
    RemoveStaleTemporaryFiles(folder);
    TargetLock lock(target);
    if (how.checkTarget) {
        how.checkTarget(lock.Existing());
    }
    TemporaryFile temporary(target, *how.calls);
    const struct stat* existing = lock.Existing();
    temporary.TakeOver(existing != nullptr ? existing->st_mode & 07777 : how.newFileMode, existing);
    produce([&temporary](std::span<const unsigned char> piece) { temporary.WriteAll(piece); });
    const FileVersion written = temporary.SyncAndClose();
    temporary.RenameOver(target);
    SyncFolder(folder);
    return written;
}

void RemoveStaleTemporaryFilesBeside(const std::filesystem::path& file)
{
    RemoveStaleTemporaryFiles(FolderOf(TargetOf(file)));
}
