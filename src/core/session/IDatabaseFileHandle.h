#pragma once

#include <filesystem>
#include <optional>

#include "core/common/FileVersion.h"

// The open database file, held so that other programs cannot write, move or delete it while it is open here.
class IDatabaseFileHandle
{
public:
    virtual ~IDatabaseFileHandle() = default;
    virtual bool Open(const std::filesystem::path& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The version of the file held, taken from the held descriptor itself: the path may meanwhile name another file.
    virtual std::optional<FileVersion> HeldVersion() const = 0;
};
