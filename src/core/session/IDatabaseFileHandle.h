#pragma once

#include <filesystem>

// The open database file, held so that other programs cannot write, move or delete it while it is open here.
class IDatabaseFileHandle
{
public:
    virtual ~IDatabaseFileHandle() = default;
    virtual bool Open(const std::filesystem::path& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};
