#pragma once

#include <time.h>

// CPU seconds of the calling thread: other programs on a shared machine do not count against the measured code.
inline double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}
