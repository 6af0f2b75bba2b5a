#pragma once

#include "core/session/IDatabaseFileHandle.h"

// The database file of a command, noted but not held: a command is over in a moment, and a lock held by one command
// would make the save of another one running beside it fail. A file replaced meanwhile is still caught, because the
// session compares the version noted here when it saves.
class CUnheldFile : public IDatabaseFileHandle
{
public:
    bool Open(const std::filesystem::path& path) override
    {
        version = FileVersion::At(path);
        open = true;
        return true;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    std::optional<FileVersion> HeldVersion() const override { return version; }

private:
    std::optional<FileVersion> version;
    bool open = false;
};
