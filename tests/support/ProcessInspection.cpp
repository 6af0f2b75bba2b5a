#include "support/ProcessInspection.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {
constexpr uid_t Nobody = 65534;

std::filesystem::path ProcFile(pid_t pid, const char* name)
{
    return std::filesystem::path("/proc") / std::to_string(pid) / name;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}
} // namespace

UnprivilegedProcess::UnprivilegedProcess(const std::filesystem::path& program,
                                         const std::vector<std::string>& arguments,
                                         const std::vector<std::string>& environment)
{
    std::vector<std::string> argumentStrings{program.string()};
    argumentStrings.insert(argumentStrings.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environmentStrings = environment;
    std::vector<char*> argv = Pointers(argumentStrings);
    std::vector<char*> envp = Pointers(environmentStrings);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const bool asRoot = ::geteuid() == 0;
    pid = ::fork();
    if (pid == 0) {
        ::dup2(ends[0], STDIN_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        if (asRoot && (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)) {
            ::_exit(126);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(ends[0]);
    input = ends[1];
}

UnprivilegedProcess::~UnprivilegedProcess()
{
    ::close(input);
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

std::optional<bool> IsDumpable(pid_t pid)
{
    std::ifstream status(ProcFile(pid, "status"));
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("Uid:")) {
            uid_t realUid = 0;
            std::istringstream(line.substr(4)) >> realUid;
            struct stat owner
            {};
            if (realUid == 0 || ::stat(ProcFile(pid, "status").c_str(), &owner) != 0) {
                return std::nullopt;
            }
            return owner.st_uid == realUid;
        }
    }
    return std::nullopt;
}

bool IsAlive(pid_t pid)
{
    std::ifstream status(ProcFile(pid, "status"));
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("State:")) {
            return line.find('Z') == std::string::npos && line.find('X') == std::string::npos;
        }
    }
    return false;
}

std::optional<std::pair<std::string, std::string>> CoreFileLimits(pid_t pid)
{
    std::ifstream limits(ProcFile(pid, "limits"));
    std::string line;
    while (std::getline(limits, line)) {
        if (line.starts_with("Max core file size")) {
            std::istringstream values(line.substr(std::string("Max core file size").size()));
            std::pair<std::string, std::string> result;
            values >> result.first >> result.second;
            return result;
        }
    }
    return std::nullopt;
}

bool Runs(pid_t pid, const std::filesystem::path& program)
{
    // The command line, unlike the executable's link, stays readable when the process is not dumpable.
    std::ifstream commandLine(ProcFile(pid, "cmdline"), std::ios::binary);
    std::string first;
    std::getline(commandLine, first, '\0');
    return first == program.string();
}
