#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/database/Entry.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

// Runs the built lockmere-cli on databases in a fresh folder and reads them back through the core.
class CliRunner : public ::testing::Test
{
protected:
    static std::filesystem::path Program();

    // lockmere-cli with the arguments, `input` on standard input, and settings of its own in the test's folder.
    ProgramResult Run(const std::vector<std::string>& arguments, const std::string& input = {}) const;
    ProgramResult RunProgramAt(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                               const std::string& input) const;
    // A new database at `path` under `password`, made by the program itself.
    void Create(const std::filesystem::path& path, const std::string& password) const;
    // Every entry of the file, in key order, read through the core under the UTF-8 password.
    std::vector<Entry> ReadEntries(const std::filesystem::path& path, const std::string& password) const;

    TempDir folder;
    std::filesystem::path database = folder / "lockmere.ldb";
    std::filesystem::path appData = folder / "appdata";
};

// Turns the escapes of ls and show back into the text they stand for.
std::string Unescape(const std::string& text);
// A UTF-8 string as a SecureString.
SecureString Secure(const std::string& text);
