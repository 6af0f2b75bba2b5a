#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Environment entries to set for a child on top of the test's own environment.
using EnvironmentChanges = std::map<std::string, std::string>;

// How a program that ran to its end ended, and what it wrote.
struct ProgramResult
{
    int exitCode = -1; // -1 when it did not exit normally
    int signal = 0;    // the signal that ended it, or 0
    bool timedOut = false;
    std::string out;
    std::string err;
};

// Runs the program with `input` on its standard input until it ends, collecting both outputs. A program still running
// after `limit` is killed, so that a hanging program fails its test instead of blocking the run.
ProgramResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::string& input = {}, const EnvironmentChanges& environment = {},
                         std::chrono::seconds limit = std::chrono::seconds(60));

// A program started in the background, with its output on /dev/null and its standard input on a pipe that the test
// writes to (or /dev/null). Killed and reaped when the object goes, if it still runs.
class ChildProcess
{
public:
    enum class Input
    {
        Null,
        Pipe,
    };
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const EnvironmentChanges& environment = {}, Input input = Input::Null);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid; }
    // Writes to the program's standard input (Input::Pipe only).
    void WriteInput(const std::string& text);
    void CloseInput();
    // True while the program has not ended; reaps it when it has.
    bool IsRunning();
    void Kill(int signal);
    // Waits up to `limit` for the end; returns the wait status, or -1 when it still runs.
    int WaitForExit(std::chrono::seconds limit);

private:
    pid_t pid = -1;
    int inputPipe = -1;
    int status = -1;
    bool reaped = false;
};

// Waits until `condition` holds, checking every few milliseconds for at most `limit`; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(30));
