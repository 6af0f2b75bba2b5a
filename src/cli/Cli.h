#pragma once

#include <string>
#include <vector>

// Runs lockmere-cli with its arguments (without the program name); returns the exit code.
int RunCli(const std::vector<std::string>& arguments);
