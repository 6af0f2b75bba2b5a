#include "platform/ProgramPath.h"

#include <errno.h>
#include <sys/auxv.h>

std::filesystem::path ProgramPath()
{
    std::error_code error;
    // Started as "ld-linux-x86-64.so.2 PROGRAM" (how the portable copy's launcher runs a program file that a FAT
    // drive shows without execute permission), the kernel ran the loader: /proc/self/exe names the loader, which had
    // no interpreter of its own to load (AT_BASE 0), and the program's path is the first argument the loader kept.
    if (::getauxval(AT_BASE) == 0 && program_invocation_name != nullptr && *program_invocation_name != '\0') {
        const std::filesystem::path given = std::filesystem::absolute(program_invocation_name, error);
        std::filesystem::path path = error ? std::filesystem::path() : std::filesystem::canonical(given, error);
        return error ? std::filesystem::path() : path;
    }
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}
