#include "CompetingLoad.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

void SpinUntil(Clock::time_point deadline)
{
    std::atomic<unsigned> spins{0};
    while (Clock::now() < deadline) {
        for (int step = 0; step < 100000; ++step) {
            spins.fetch_add(1, std::memory_order_relaxed);
        }
    }
}

// The child's whole life: one busy thread per core, a byte to the parent once they all run, then spinning until the
// bound. It never returns into the benchmark's code.
[[noreturn]] void RunChild(pid_t parent, int ready, std::chrono::seconds bound)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
        ::_exit(0);
    }
    const auto deadline = Clock::now() + bound;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> others;
    for (unsigned core = 1; core < cores; ++core) {
        others.emplace_back([deadline] { SpinUntil(deadline); });
    }
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(ready, &byte, 1);
    SpinUntil(deadline);
    for (std::thread& thread : others) {
        thread.join();
    }
    ::_exit(0);
}
} // namespace

CompetingLoad::CompetingLoad(std::chrono::seconds bound)
{
    int ready[2];
    if (::pipe(ready) != 0) {
        return;
    }
    const pid_t parent = ::getpid();
    child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        RunChild(parent, ready[1], bound);
    }
    ::close(ready[1]);
    char byte = 0;
    if (child > 0 && ::read(ready[0], &byte, 1) != 1) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        child = -1;
    }
    ::close(ready[0]);
}

CompetingLoad::~CompetingLoad()
{
    if (child > 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
}
