#pragma once

#include <filesystem>

// The desktop's trash, where a file the user no longer needs goes so that it can still be restored.
class IFileTrash
{
public:
    virtual ~IFileTrash() = default;
    // True when the file is in the trash now and gone from its folder.
    virtual bool MoveToTrash(const std::filesystem::path& file) = 0;
};
