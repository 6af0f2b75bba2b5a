#include "platform/HeldFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

HeldFile::~HeldFile()
{
    Close();
}

bool HeldFile::Open(const std::filesystem::path& path)
{
    Close();
    descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    // Shared: other readers may hold it too, but no Lockmere writer gets its exclusive lock while we hold this.
    if (::flock(descriptor, LOCK_SH | LOCK_NB) != 0) {
        Close();
        return false;
    }
    return true;
}

void HeldFile::Close()
{
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
    }
}
