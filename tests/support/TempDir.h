#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it when the object goes.
class TempDir
{
public:
    TempDir();
    // Under `parent` instead: /dev/shm, for a test that saves thousands of times and so would wait on the disk.
    explicit TempDir(const std::filesystem::path& parent);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path; }
    std::filesystem::path operator/(const std::string& name) const { return path / name; }

private:
    std::filesystem::path path;
};

// Reads a whole file as bytes.
std::string ReadFileBytes(const std::filesystem::path& path);
// Writes bytes to a file, replacing it.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
