#include "platform/ThreadPriority.h"

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// On Linux the nice value belongs to the thread: ten steps give the window about ten times its share.
constexpr int NiceSteps = 10;
constexpr int LowestPriority = 19;
} // namespace

void YieldToOtherThreads()
{
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, thread);
    if (errno != 0) {
        return;
    }
    ::setpriority(PRIO_PROCESS, thread, std::min(current + NiceSteps, LowestPriority));
}
