#include "platform/HeldFile.h"

#include <fcntl.h>
#include <sys/file.h>

bool HeldFile::Open(const std::filesystem::path& path)
{
    Close();
    // Without blocking: a pipe in the file's place would otherwise hang the program here.
    descriptor.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!descriptor.Valid()) {
        return false;
    }
    struct stat status
    {};
    // Shared: other readers may hold it too, but no Lockmere writer gets its exclusive lock while we hold this.
    if (::fstat(descriptor.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        ::flock(descriptor.Get(), LOCK_SH | LOCK_NB) != 0) {
        Close();
        return false;
    }
    return true;
}

void HeldFile::Close()
{
    descriptor.Reset();
}

bool HeldFile::Status(struct stat& status) const
{
    return descriptor.Valid() && ::fstat(descriptor.Get(), &status) == 0;
}
