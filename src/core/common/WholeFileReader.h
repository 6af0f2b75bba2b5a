#pragma once

#include <cstdint>
#include <filesystem>

#include "core/common/SecureString.h"
#include "core/common/UniqueFd.h"

// The file could not be opened or read, or it is no regular file (a folder, a pipe, a device).
struct FileUnreadable
{
    int error = 0; // the system's errno; 0 for no regular file or a file that ended early
};
// The file holds the size limit or more.
struct FileTooLarge
{};

// Opens a regular file for reading without ever blocking: a pipe or device in its place is refused at once instead
// of hanging the program in `open`. Returns the descriptor and the size taken from it, so that the size and the
// content are those of the same file. Throws FileUnreadable or FileTooLarge (at `sizeLimit` bytes or more).
UniqueFd OpenRegularFile(const std::filesystem::path& path, std::uint64_t sizeLimit, std::uint64_t& size);

// Reads exactly `length` bytes from the descriptor into `buffer`; throws FileUnreadable when the file ends early.
void ReadExactly(const UniqueFd& file, unsigned char* buffer, std::uint64_t length);

// The whole file in a wiping buffer.
SecureBytes ReadWholeFile(const std::filesystem::path& path, std::uint64_t sizeLimit);
