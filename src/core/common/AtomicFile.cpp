#include "core/common/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {
std::optional<WriteStep> injectedFault;
int injectedWriteIndex = 0;

bool FaultAt(WriteStep step, int writeIndex = 0)
{
    return injectedFault == step && (step != WriteStep::Write || writeIndex == injectedWriteIndex);
}

[[noreturn]] void Fail(const std::string& what, int error)
{
    throw FileWriteError(what + ": " + std::strerror(error));
}

// Closes the descriptor and removes the temporary file unless the write got as far as the rename.
class TemporaryFile
{
public:
    TemporaryFile(const std::filesystem::path& target, mode_t mode)
        : path(target.string() + ".XXXXXX")
    {
        if (FaultAt(WriteStep::Create)) {
            Fail("cannot create " + path, EIO);
        }
        descriptor = ::mkostemp(path.data(), O_CLOEXEC);
        if (descriptor < 0) {
            Fail("cannot create a file beside " + target.string(), errno);
        }
        if (::fchmod(descriptor, mode) != 0) {
            Fail("cannot set the permissions of " + path, errno);
        }
    }
    ~TemporaryFile()
    {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
        if (!renamed) {
            ::unlink(path.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void WriteAll(std::span<const unsigned char> data)
    {
        int writeIndex = 0;
        while (!data.empty()) {
            const std::size_t chunk = std::min(data.size(), AtomicWriteChunkSize);
            if (FaultAt(WriteStep::Write, writeIndex++)) {
                Fail("cannot write " + path, ENOSPC);
            }
            const ssize_t written = ::write(descriptor, data.data(), chunk);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                Fail("cannot write " + path, written < 0 ? errno : ENOSPC);
            }
            data = data.subspan(static_cast<std::size_t>(written));
        }
    }

    void SyncAndClose()
    {
        if (FaultAt(WriteStep::Sync) || ::fsync(descriptor) != 0) {
            Fail("cannot sync " + path, FaultAt(WriteStep::Sync) ? EIO : errno);
        }
        const int closing = descriptor;
        descriptor = -1;
        const int closed = ::close(closing);
        if (FaultAt(WriteStep::Close) || closed != 0) {
            Fail("cannot close " + path, FaultAt(WriteStep::Close) ? EIO : errno);
        }
    }

    void RenameOver(const std::filesystem::path& target)
    {
        if (FaultAt(WriteStep::Rename) || ::rename(path.c_str(), target.c_str()) != 0) {
            Fail("cannot replace " + target.string(), FaultAt(WriteStep::Rename) ? EIO : errno);
        }
        renamed = true;
    }

private:
    std::string path;
    int descriptor = -1;
    bool renamed = false;
};

// Holds an exclusive advisory lock on the existing target while it is replaced, so that a file another Lockmere
// holds open (with a shared lock) is refused instead of being replaced behind its back.
class TargetLock
{
public:
    TargetLock(const std::filesystem::path& target, mode_t& mode)
    {
        descriptor = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (descriptor < 0) {
            if (errno != ENOENT) {
                Fail("cannot open " + target.string(), errno);
            }
            return;
        }
        if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            Refuse(target.string() + " is in use by another program", error);
        }
        // Another writer may have put a new file in place between our open and our lock; the lock then guards a
        // file that is no longer there, and replacing the path would undo that writer's change unseen.
        struct stat atPath
        {};
        if (::fstat(descriptor, &status) != 0 || ::stat(target.c_str(), &atPath) != 0 ||
            atPath.st_dev != status.st_dev || atPath.st_ino != status.st_ino) {
            Refuse(target.string() + " was replaced by another program", EBUSY);
        }
        mode = status.st_mode & 07777;
        locked = true;
    }
    // The status of the locked file, or nullptr when there was none.
    const struct stat* Existing() const { return locked ? &status : nullptr; }
    ~TargetLock()
    {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
    TargetLock(const TargetLock&) = delete;
    TargetLock& operator=(const TargetLock&) = delete;

private:
    [[noreturn]] void Refuse(const std::string& what, int error)
    {
        ::close(descriptor);
        descriptor = -1;
        Fail(what, error);
    }

    int descriptor = -1;
    struct stat status
    {};
    bool locked = false;
};

// Makes the rename durable. Best effort: once the rename is done the new file is in place, and reporting a failure
// here would make the caller undo a change that the file already holds.
void SyncFolder(const std::filesystem::path& target)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}
} // namespace

void WriteFileAtomically(const std::filesystem::path& path, std::span<const unsigned char> data, mode_t newFileMode,
                         const TargetCheck& checkTarget)
{
    // Replace what a link points to rather than the link itself.
    std::error_code error;
    std::filesystem::path target = path;
    if (std::filesystem::is_symlink(path, error)) {
        target = std::filesystem::canonical(path, error);
        if (error) {
            target = path;
        }
    }
    mode_t mode = newFileMode;
    TargetLock lock(target, mode);
    if (checkTarget) {
        checkTarget(lock.Existing());
    }
    TemporaryFile temporary(target, mode);
    temporary.WriteAll(data);
    temporary.SyncAndClose();
    temporary.RenameOver(target);
    SyncFolder(target);
}

void SetWriteFaultForTesting(std::optional<WriteStep> step, int writeIndex)
{
    injectedFault = step;
    injectedWriteIndex = writeIndex;
}
