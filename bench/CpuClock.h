#pragma once

#include <time.h>

#include <chrono>

// A clock over the processor time of this thread or of the whole process: on a machine busy with other work, only
// the time the measured code itself takes counts against it.
template <clockid_t Id> struct CpuClock
{
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<CpuClock, duration>;
    static constexpr bool is_steady = true;

    static time_point now()
    {
        timespec now{};
        clock_gettime(Id, &now);
        return time_point(std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec));
    }
};

using ThreadClock = CpuClock<CLOCK_THREAD_CPUTIME_ID>;
using ProcessClock = CpuClock<CLOCK_PROCESS_CPUTIME_ID>;

template <class Clock> double SecondsOf(Clock clock = {})
{
    return std::chrono::duration<double>(clock.now().time_since_epoch()).count();
}

// Processor seconds of the calling thread, as a plain number for differences.
inline double ThreadSeconds()
{
    return SecondsOf<ThreadClock>();
}

// Processor seconds of every thread of the process: work spread over worker threads counts whole.
inline double ProcessSeconds()
{
    return SecondsOf<ProcessClock>();
}
