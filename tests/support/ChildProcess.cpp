#include "support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {
using Clock = std::chrono::steady_clock;

// The test's environment with the changes applied, as strings that outlive the exec call.
std::vector<std::string> MergedEnvironment(const EnvironmentChanges& changes)
{
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (!changes.contains(text.substr(0, text.find('=')))) {
            merged.push_back(text);
        }
    }
    for (const auto& [name, value] : changes) {
        merged.push_back(name + "=" + value);
    }
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (auto& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Forks and runs the program with the given descriptors as its standard streams; only async-signal-safe calls
// happen in the child.
pid_t Spawn(const std::filesystem::path& program, const std::vector<std::string>& arguments,
            const EnvironmentChanges& environment, int input, int output, int errors)
{
    std::vector<std::string> argumentStrings{program.string()};
    argumentStrings.insert(argumentStrings.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environmentStrings = MergedEnvironment(environment);
    std::vector<char*> argv = Pointers(argumentStrings);
    std::vector<char*> envp = Pointers(environmentStrings);
    const pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
    }
    if (pid == 0) {
        ::dup2(input, STDIN_FILENO);
        ::dup2(output, STDOUT_FILENO);
        ::dup2(errors, STDERR_FILENO);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    return pid;
}

struct Pipe
{
    int read = -1;
    int write = -1;
    Pipe()
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
        read = ends[0];
        write = ends[1];
    }
    ~Pipe()
    {
        CloseRead();
        CloseWrite();
    }
    void CloseRead()
    {
        if (read >= 0) {
            ::close(read);
            read = -1;
        }
    }
    void CloseWrite()
    {
        if (write >= 0) {
            ::close(write);
            write = -1;
        }
    }
};

void FillResult(ProgramResult& result, int status)
{
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
}
} // namespace

ProgramResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::string& input, const EnvironmentChanges& environment, std::chrono::seconds limit)
{
    Pipe in;
    Pipe out;
    Pipe err;
    const pid_t pid = Spawn(program, arguments, environment, in.read, out.write, err.write);
    in.CloseRead();
    out.CloseWrite();
    err.CloseWrite();
    // The program may leave input unread; a write to its closed pipe must not end the test.
    ::signal(SIGPIPE, SIG_IGN);
    ::fcntl(in.write, F_SETFL, O_NONBLOCK);

    ProgramResult result;
    std::size_t written = 0;
    if (input.empty()) {
        in.CloseWrite();
    }
    const auto deadline = Clock::now() + limit;
    while (out.read >= 0 || err.read >= 0) {
        if (Clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            result.timedOut = true;
            break;
        }
        pollfd polls[3] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}, {in.write, POLLOUT, 0}};
        if (::poll(polls, 3, 100) < 0 && errno != EINTR) {
            break;
        }
        if (polls[2].revents != 0) {
            const ssize_t count = ::write(in.write, input.data() + written, input.size() - written);
            if (count > 0) {
                written += static_cast<std::size_t>(count);
            }
            if (count < 0 && errno != EAGAIN && errno != EINTR) {
                in.CloseWrite();
            }
            if (written == input.size()) {
                in.CloseWrite();
            }
        }
        for (int i = 0; i < 2; ++i) {
            if (polls[i].revents == 0) {
                continue;
            }
            Pipe& source = i == 0 ? out : err;
            char buffer[4096];
            const ssize_t count = ::read(source.read, buffer, sizeof buffer);
            if (count > 0) {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(count));
            } else if (count == 0 || errno != EINTR) {
                source.CloseRead();
            }
        }
    }
    in.CloseWrite();
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    FillResult(result, status);
    return result;
}

ChildProcess::ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                           const EnvironmentChanges& environment, Input input)
{
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (input == Input::Pipe) {
        Pipe in;
        pid = Spawn(program, arguments, environment, in.read, null, null);
        std::swap(inputPipe, in.write);
    } else {
        pid = Spawn(program, arguments, environment, null, null, null);
    }
    ::close(null);
}

void ChildProcess::WriteInput(const std::string& text)
{
    ::signal(SIGPIPE, SIG_IGN);
    std::size_t done = 0;
    while (inputPipe >= 0 && done < text.size()) {
        const ssize_t count = ::write(inputPipe, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        done += static_cast<std::size_t>(count);
    }
}

void ChildProcess::CloseInput()
{
    if (inputPipe >= 0) {
        ::close(inputPipe);
        inputPipe = -1;
    }
}

ChildProcess::~ChildProcess()
{
    CloseInput();
    if (IsRunning()) {
        Kill(SIGKILL);
        WaitForExit(std::chrono::seconds(30));
    }
}

bool ChildProcess::IsRunning()
{
    if (reaped) {
        return false;
    }
    if (::waitpid(pid, &status, WNOHANG) == pid) {
        reaped = true;
    }
    return !reaped;
}

void ChildProcess::Kill(int signal)
{
    if (!reaped) {
        ::kill(pid, signal);
    }
}

int ChildProcess::WaitForExit(std::chrono::seconds limit)
{
    WaitUntil([this] { return !IsRunning(); }, limit);
    return reaped ? status : -1;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
