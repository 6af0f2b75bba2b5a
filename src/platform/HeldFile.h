#pragma once

#include <filesystem>

// The open database file, held for reading with a shared advisory lock, so that other Lockmere processes (GUI or
// CLI) refuse to write it while it is open here. Other programs may still read it.
class HeldFile
{
public:
    HeldFile() = default;
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    // Opens and locks the file; false when it cannot be opened or another process is writing it.
    bool Open(const std::filesystem::path& path);
    void Close();
    bool IsOpen() const { return descriptor >= 0; }

private:
    int descriptor = -1;
};
