#pragma once

#include "core/session/IDatabaseFileHandle.h"
#include "platform/HeldFile.h"

// The open database file as the lifecycle sees it, held through the platform's advisory lock.
class HeldFileHandle : public IDatabaseFileHandle
{
public:
    bool Open(const std::filesystem::path& path) override { return file.Open(path); }
    void Close() override { file.Close(); }
    bool IsOpen() const override { return file.IsOpen(); }

private:
    HeldFile file;
};
