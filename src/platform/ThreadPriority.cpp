#include "platform/ThreadPriority.h"

#include <cerrno>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// On Linux the nice value belongs to the thread, not to the process, so it is read by the thread's own id.
id_t CallingThreadId()
{
    return static_cast<id_t>(::syscall(SYS_gettid));
}
} // namespace

ThreadScheduling CurrentThreadScheduling()
{
    ThreadScheduling scheduling;
    sched_param parameters{};
    ::pthread_getschedparam(::pthread_self(), &scheduling.policy, &parameters);
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, CallingThreadId());
    scheduling.nice = errno == 0 ? nice : 0;
    return scheduling;
}

void ScheduleAsBatchWork()
{
    // A lower nice value as well would hand the work's share to every other program on the desktop: a busy
    // browser or build would make opening a file several times slower. The batch policy alone keeps the window
    // answering, as the window's thread sleeps while it waits and preempts the work whenever it wakes.
    const sched_param parameters{};
    ::pthread_setschedparam(::pthread_self(), SCHED_BATCH, &parameters);
}
