#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A program started under an ordinary user id (nobody when the tests run as root, so that what the kernel grants
// root alone does not hide what an ordinary process could do to it), waiting on a pipe as its standard input. Its
// output goes to /dev/null. Killed and reaped when the object goes.
class UnprivilegedProcess
{
public:
    UnprivilegedProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                        const std::vector<std::string>& environment);
    ~UnprivilegedProcess();
    UnprivilegedProcess(const UnprivilegedProcess&) = delete;
    UnprivilegedProcess& operator=(const UnprivilegedProcess&) = delete;

    pid_t Pid() const { return pid; }

private:
    pid_t pid = -1;
    int input = -1;
};

// Whether another process of the same user may read the process's memory and attach to it: the kernel hands the
// /proc files of a process that is not dumpable to root. nullopt when it cannot be told (the process runs as root or
// is gone).
std::optional<bool> IsDumpable(pid_t pid);

// Whether the process runs, neither ended nor waiting to be reaped.
bool IsAlive(pid_t pid);

// The soft and hard core-file size limits of the process as /proc shows them ("unlimited" or a number), or nullopt.
std::optional<std::pair<std::string, std::string>> CoreFileLimits(pid_t pid);

// Whether the process has started its own program, not just the fork of the test: its command line starts with
// `program`.
bool Runs(pid_t pid, const std::filesystem::path& program);
