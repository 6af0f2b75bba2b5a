#pragma once

#include <string>
#include <vector>

// Runs lockmere-cli with its arguments (without the program name), reading passwords from standard input, writing
// results to standard output and messages to standard error; returns the exit code.
int RunCli(const std::vector<std::string>& arguments);
