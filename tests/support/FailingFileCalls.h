#pragma once

#include <cerrno>
#include <optional>

#include "core/common/AtomicFile.h"

// The steps of an atomic write that a test can make fail.
enum class WriteStep
{
    Create, // the file, with or without a name
    Write,
    Sync,
    Close,  // writes are unbuffered, so closing is the flush: where a file system reports a deferred write error
    Rename, // giving the complete file its name: a link or a rename
};

// The system's calls, except that the chosen one fails (for Write: the write call numbered writeIndex, from 0).
class FailingFileCalls : public FileSystemCalls
{
public:
    explicit FailingFileCalls(WriteStep step, int writeIndex = 0)
        : step(step)
        , writeIndex(writeIndex)
    {}

    int CreateUnnamed(const char* folder, mode_t mode) const override;
    int CreateTemporary(char* pathTemplate, int suffixLength) const override;
    ssize_t Write(int descriptor, const void* data, std::size_t size) const override;
    int Sync(int descriptor) const override;
    int Close(int descriptor) const override;
    int Link(int descriptor, const char* to) const override;
    int Rename(const char* from, const char* to) const override;
    int RenameNoReplace(const char* from, const char* to) const override;

private:
    int Failed() const;

    WriteStep step;
    int writeIndex;
    mutable int writesSoFar = 0;
};

// The system's calls on a file system that cannot make a file without a name.
class NoUnnamedFileCalls : public FileSystemCalls
{
public:
    int CreateUnnamed(const char*, mode_t) const override
    {
        errno = EOPNOTSUPP;
        return -1;
    }
};
