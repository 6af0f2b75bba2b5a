#pragma once

#include <filesystem>

// The full path of the running executable, as the kernel reports it; empty when it cannot be read.
std::filesystem::path ProgramPath();
