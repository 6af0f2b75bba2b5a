#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {
// The per-user folder that holds the lock: the session's runtime folder, or a private one under /tmp.
std::string LockFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
        return runtime;
    }
    std::string folder = "/tmp/lockmere-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    return folder;
}
} // namespace

SingleInstance::SingleInstance(const std::string& name)
{
    const std::string path = LockFolder() + "/" + name + ".lock";
    descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // A lock file we cannot create must not keep the user from the program: run as the first copy.
    first = descriptor < 0 || ::flock(descriptor, LOCK_EX | LOCK_NB) == 0;
}

SingleInstance::~SingleInstance()
{
    if (descriptor >= 0) {
        ::close(descriptor);
    }
}
