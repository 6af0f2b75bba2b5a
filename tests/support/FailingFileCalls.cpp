#include "support/FailingFileCalls.h"

#include <unistd.h>

int FailingFileCalls::Failed() const
{
    errno = EIO;
    return -1;
}

int FailingFileCalls::CreateUnnamed(const char* folder, mode_t mode) const
{
    return step == WriteStep::Create ? Failed() : FileSystemCalls::CreateUnnamed(folder, mode);
}

int FailingFileCalls::CreateTemporary(char* pathTemplate, int suffixLength) const
{
    return step == WriteStep::Create ? Failed() : FileSystemCalls::CreateTemporary(pathTemplate, suffixLength);
}

ssize_t FailingFileCalls::Write(int descriptor, const void* data, std::size_t size) const
{
    if (step == WriteStep::Write && writesSoFar++ == writeIndex) {
        errno = ENOSPC;
        return -1;
    }
    return FileSystemCalls::Write(descriptor, data, size);
}

int FailingFileCalls::Sync(int descriptor) const
{
    return step == WriteStep::Sync ? Failed() : FileSystemCalls::Sync(descriptor);
}

int FailingFileCalls::Close(int descriptor) const
{
    // The descriptor is closed all the same, as the system does when close reports an error.
    const int closed = FileSystemCalls::Close(descriptor);
    return step == WriteStep::Close ? Failed() : closed;
}

int FailingFileCalls::Rename(const char* from, const char* to) const
{
    return step == WriteStep::Rename ? Failed() : FileSystemCalls::Rename(from, to);
}

int FailingFileCalls::Link(int descriptor, const char* to) const
{
    return step == WriteStep::Rename ? Failed() : FileSystemCalls::Link(descriptor, to);
}

int FailingFileCalls::RenameNoReplace(const char* from, const char* to) const
{
    return step == WriteStep::Rename ? Failed() : FileSystemCalls::RenameNoReplace(from, to);
}
