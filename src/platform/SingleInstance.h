#pragma once

#include <filesystem>
#include <string>

#include "core/common/UniqueFd.h"

// Makes sure only one copy of the program runs per user. The lock is a file lock in the user's runtime folder, so
// the system releases it when the process dies, also when it crashes.
class SingleInstance
{
public:
    explicit SingleInstance(const std::string& name);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another process of this user holds the lock of this name.
    bool IsFirst() const { return first; }

    // The file that carries the lock of this name; empty when the user has no private folder to put it in.
    static std::filesystem::path LockFilePath(const std::string& name);

private:
    UniqueFd lockFile;
    bool first = false;
};
