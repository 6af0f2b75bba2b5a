#include "core/common/InterruptCleanup.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace {
constexpr std::array<int, 3> CleanedSignals = {SIGINT, SIGTERM, SIGHUP};
constexpr int SlotCount = 32;
constexpr std::size_t PathCapacity = 4096;

enum SlotState : int
{
    Free,
    Filling,
    Armed,
};

struct Slot
{
    std::atomic<int> state{Free};
    char path[PathCapacity]{};
};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots' states");

std::array<Slot, SlotCount> slots;
std::array<struct sigaction, CleanedSignals.size()> previousActions{};
std::array<bool, CleanedSignals.size()> installed{};
// Guards the handlers' installation: they are in place only while some file is registered, so that nothing else's
// handling of these signals is changed for longer than a write.
std::mutex installation;
int registeredFiles = 0;

void HandOn(int signal, siginfo_t* info, void* context)
{
    for (std::size_t i = 0; i < CleanedSignals.size(); ++i) {
        if (CleanedSignals[i] != signal) {
            continue;
        }
        const struct sigaction& previous = previousActions[i];
        if ((previous.sa_flags & SA_SIGINFO) != 0) {
            previous.sa_sigaction(signal, info, context);
        } else if (previous.sa_handler == SIG_DFL) {
            // Blocked while this handler runs, the signal is delivered again on return, now with its default action.
            ::sigaction(signal, &previous, nullptr);
            ::raise(signal);
        } else if (previous.sa_handler != SIG_IGN) {
            previous.sa_handler(signal);
        }
    }
}

void RemoveHalfWrittenFiles(int signal, siginfo_t* info, void* context)
{
    const int savedErrno = errno;
    for (Slot& slot : slots) {
        if (slot.state.load(std::memory_order_acquire) == Armed) {
            ::unlink(slot.path);
        }
    }
    HandOn(signal, info, context);
    errno = savedErrno;
}

void InstallHandlers()
{
    struct sigaction action
    {};
    action.sa_sigaction = RemoveHalfWrittenFiles;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : CleanedSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    for (std::size_t i = 0; i < CleanedSignals.size(); ++i) {
        struct sigaction current
        {};
        // An ignored signal does not end the write, so the file being written must stay.
        installed[i] = ::sigaction(CleanedSignals[i], nullptr, &current) == 0 && current.sa_handler != SIG_IGN &&
                       ::sigaction(CleanedSignals[i], &action, &previousActions[i]) == 0;
    }
}

void RestoreHandlers()
{
    for (std::size_t i = 0; i < CleanedSignals.size(); ++i) {
        if (installed[i]) {
            ::sigaction(CleanedSignals[i], &previousActions[i], nullptr);
            installed[i] = false;
        }
    }
}
} // namespace

int InterruptCleanup::RemoveOnSignal(const char* path)
{
    const std::size_t length = std::strlen(path);
    if (length >= PathCapacity) {
        return -1;
    }
    for (int index = 0; index < SlotCount; ++index) {
        Slot& slot = slots[static_cast<std::size_t>(index)];
        int expected = Free;
        if (!slot.state.compare_exchange_strong(expected, Filling, std::memory_order_acquire)) {
            continue;
        }
        std::memcpy(slot.path, path, length + 1);
        const std::lock_guard lock(installation);
        if (registeredFiles++ == 0) {
            InstallHandlers();
        }
        slot.state.store(Armed, std::memory_order_release);
        return index;
    }
    return -1;
}

void InterruptCleanup::Forget(int slot)
{
    if (slot < 0 || slot >= SlotCount) {
        return;
    }
    const std::lock_guard lock(installation);
    slots[static_cast<std::size_t>(slot)].state.store(Free, std::memory_order_release);
    if (--registeredFiles == 0) {
        RestoreHandlers();
    }
}
