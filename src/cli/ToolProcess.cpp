#include "cli/ToolProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <openssl/crypto.h>

extern char** environ;

namespace {
// A pipe whose ends are closed when it goes, unless they were handed on.
struct Pipe
{
    Pipe()
    {
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            ends[0] = ends[1] = -1;
        }
    }
    ~Pipe()
    {
        Close(0);
        Close(1);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void Close(int end)
    {
        if (ends[end] >= 0) {
            ::close(ends[end]);
            ends[end] = -1;
        }
    }
    bool Valid() const { return ends[0] >= 0; }
    int ends[2] = {-1, -1};
};

void WriteAll(int descriptor, const SecureUtf8& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(descriptor, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return; // the tool stopped reading; its exit code tells the rest
        }
        done += static_cast<std::size_t>(written);
    }
}

SecureUtf8 ReadAll(int descriptor)
{
    SecureUtf8 text;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    OPENSSL_cleanse(buffer, sizeof buffer);
    return text;
}

bool Succeeded(pid_t child)
{
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
} // namespace

std::optional<SecureUtf8> RunTool(const std::vector<std::string>& command, const SecureUtf8& input, ToolOutput output)
{
    Pipe toTool;
    Pipe fromTool;
    if (!toTool.Valid() || !fromTool.Valid()) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toTool.ends[0], STDIN_FILENO);
    if (output == ToolOutput::Read) {
        posix_spawn_file_actions_adddup2(&actions, fromTool.ends[1], STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& part : command) {
        argv.push_back(const_cast<char*>(part.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = -1;
    const int failed = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        return std::nullopt;
    }
    toTool.Close(0);
    fromTool.Close(1);
    // A tool that exits without reading must not end us with SIGPIPE.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    WriteAll(toTool.ends[1], input);
    toTool.Close(1);
    std::signal(SIGPIPE, previous);
    SecureUtf8 written = ReadAll(fromTool.ends[0]);
    if (!Succeeded(child)) {
        return std::nullopt;
    }
    return written;
}

bool ToolOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}
