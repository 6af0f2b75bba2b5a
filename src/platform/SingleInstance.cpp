#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {
// A folder that another user owns or may write to could hold a lock file of theirs, which would keep this user's
// program from starting.
bool IsPrivateFolder(const std::string& folder)
{
    struct stat status
    {};
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
           (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The per-user folder that holds the lock: the session's runtime folder, or a private one under /tmp.
std::string LockFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
        return runtime;
    }
    std::string folder = "/tmp/lockmere-" + std::to_string(::geteuid());
    ::mkdir(folder.c_str(), 0700);
    return folder;
}
} // namespace

std::filesystem::path SingleInstance::LockFilePath(const std::string& name)
{
    const std::string folder = LockFolder();
    if (!IsPrivateFolder(folder)) {
        return {};
    }
    return std::filesystem::path(folder) / (name + ".lock");
}

SingleInstance::SingleInstance(const std::string& name)
{
    const std::filesystem::path path = LockFilePath(name);
    if (!path.empty()) {
        lockFile.Reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    }
    // A lock file we cannot create or lock must not keep the user from the program: run as the first copy. Only a
    // lock that another process holds means that another copy runs.
    int result = -1;
    do {
        result = lockFile.Valid() ? ::flock(lockFile.Get(), LOCK_EX | LOCK_NB) : 0;
    } while (result != 0 && errno == EINTR);
    first = result == 0 || errno != EWOULDBLOCK;
}
