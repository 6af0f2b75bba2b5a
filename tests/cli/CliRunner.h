#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

// Runs the built lockmere-cli as a separate process with the given standard input, and keeps what it wrote.
class CliRunner
{
public:
    struct Result
    {
        int exitCode = -1;
        std::string output;
        std::string errors;
    };

    explicit CliRunner(const TempDir& folder)
        : folder(folder)
    {}

    Result Run(const std::vector<std::string>& arguments, const std::string& input = "") const
    {
        WriteFileBytes(folder / "stdin", input);
        std::string command = Quoted(std::string(LOCKMERE_BIN_DIR) + "/lockmere-cli");
        for (const std::string& argument : arguments) {
            command += " " + Quoted(argument);
        }
        command += " <" + Quoted((folder / "stdin").string()) + " >" + Quoted((folder / "stdout").string()) + " 2>" +
                   Quoted((folder / "stderr").string());
        const int status = std::system(command.c_str());
        Result result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.output = ReadFileBytes(folder / "stdout");
        result.errors = ReadFileBytes(folder / "stderr");
        return result;
    }

private:
    static std::string Quoted(const std::string& argument)
    {
        std::string quoted = "'";
        for (char character : argument) {
            quoted += character == '\'' ? std::string("'\\''") : std::string(1, character);
        }
        return quoted + "'";
    }

    const TempDir& folder;
};
