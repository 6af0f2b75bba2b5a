#pragma once

#include <filesystem>

// The full path of the running program file, as the kernel reports it, or as the dynamic loader was given it when the
// program was started through the loader; empty when it cannot be told.
std::filesystem::path ProgramPath();
