#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Output.h"

enum class ToolOutput
{
    // Standard output goes to /dev/null: for a tool that stays in the background to serve the clipboard, which must
    // keep no descriptor of ours, or whoever waits for the end of our output would wait for it.
    Discard,
    // Standard output is collected and returned.
    Read,
};

// Runs a helper program found on PATH (a clipboard tool) with `input` on its standard input and its standard error
// on /dev/null, waits for it, and returns what it wrote (empty when discarded); nullopt when it could not be started
// or did not end with exit code 0.
std::optional<SecureUtf8> RunTool(const std::vector<std::string>& command, const SecureUtf8& input, ToolOutput output);

// Whether a program of that name is on PATH.
bool ToolOnPath(const std::string& name);
