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
#include "core/common/UnpublishedFile.h"

namespace {
// A temporary file nobody has locked for this long belongs to a write that was killed.
constexpr std::time_t StaleAfterSeconds = 60;

[[noreturn]] void Fail(const std::string& what, int error)
{
    throw FileWriteError(what + ": " + std::strerror(error));
}

// Holds an exclusive advisory lock on the existing target while it is replaced, so that a file another Lockmere
// holds open (with a shared lock) is refused instead of being replaced behind its back.
class TargetLock
{
public:
    TargetLock(const std::filesystem::path& target, bool replaceExisting)
    {
        struct stat any
        {};
        if (!replaceExisting && ::lstat(target.c_str(), &any) == 0) {
            Fail(target.string(), EEXIST);
        }
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

std::filesystem::path FolderOf(const std::filesystem::path& target)
{
    const std::filesystem::path folder = target.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// Replaces what a link points to rather than the link itself; a write of a new file takes no link's place.
std::filesystem::path ResolvedTarget(const std::filesystem::path& path, bool replaceExisting)
{
    std::error_code error;
    if (!replaceExisting || !std::filesystem::is_symlink(path, error)) {
        return path;
    }
    std::filesystem::path resolved = std::filesystem::canonical(path, error);
    return error ? path : resolved;
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

int FileSystemCalls::CreateUnnamed(const char* folder, mode_t mode) const
{
    return ::open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
}

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

int FileSystemCalls::Link(int descriptor, const char* to) const
{
    // Naming an open file directly needs a privilege most users lack; its entry under /proc needs none.
    if (::linkat(descriptor, "", AT_FDCWD, to, AT_EMPTY_PATH) == 0) {
        return 0;
    }
    if (errno != ENOENT && errno != EPERM) {
        return -1;
    }
    const std::string open = "/proc/self/fd/" + std::to_string(descriptor);
    return ::linkat(AT_FDCWD, open.c_str(), AT_FDCWD, to, AT_SYMLINK_FOLLOW);
}

int FileSystemCalls::RenameNoReplace(const char* from, const char* to) const
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    // A file system without the no-replace rename still refuses to link over an existing name.
    if (errno != EINVAL && errno != ENOSYS) {
        return -1;
    }
    if (::link(from, to) == 0) {
        ::unlink(from);
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) {
        return -1;
    }
    // Neither (FAT through FUSE): the name is looked at just before the rename. Another program that takes the name
    // in that instant loses its file; nothing better can be done there.
    struct stat existing
    {};
    if (::lstat(to, &existing) == 0) {
        errno = EEXIST;
        return -1;
    }
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
    const std::filesystem::path target = ResolvedTarget(path, how.replaceExisting);
    const std::filesystem::path folder = FolderOf(target);
    RemoveStaleTemporaryFiles(folder);
    TargetLock lock(target, how.replaceExisting);
    if (how.checkTarget) {
        how.checkTarget(lock.Existing());
    }
    UnpublishedFile file(target, *how.calls);
    const struct stat* existing = lock.Existing();
    file.TakeOver(existing != nullptr ? existing->st_mode & 07777 : how.newFileMode, existing);
    produce([&file](std::span<const unsigned char> piece) { file.WriteAll(piece); });
    const FileVersion written = file.Sync();
    file.Publish(how.replaceExisting);
    SyncFolder(folder);
    return written;
}

void RemoveStaleTemporaryFilesBeside(const std::filesystem::path& file)
{
    RemoveStaleTemporaryFiles(FolderOf(ResolvedTarget(file, true)));
}
