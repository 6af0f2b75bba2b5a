#pragma once

// How the scheduler treats a thread: its policy (SCHED_OTHER, SCHED_BATCH, ...) and its nice value.
struct ThreadScheduling
{
    int policy = 0;
    int nice = 0;
};

// The calling thread's policy and nice value.
ThreadScheduling CurrentThreadScheduling();

// Marks the calling thread as long processor-bound work that nobody waits on keystroke by keystroke. It keeps its
// nice value, so it still gets as much processor time as any other program's thread, but a thread that wakes up to
// answer the user, above all the window's, takes the processor from it at once. Threads it starts afterwards are
// treated the same. Failing to change it changes nothing else.
void ScheduleAsBatchWork();
