#include "platform/ProgramPath.h"

std::filesystem::path ProgramPath()
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}
