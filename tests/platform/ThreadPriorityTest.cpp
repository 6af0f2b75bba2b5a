#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include "platform/ThreadPriority.h"

// Every case runs on a thread of its own: a thread cannot take back a nice value it gave away, and the test
// program's own thread must stay as it was.
namespace {
ThreadScheduling OnNewThread(const std::function<ThreadScheduling()>& body)
{
    ThreadScheduling seen;
    std::thread([&] { seen = body(); }).join();
    return seen;
}

// Raises the calling thread's nice value by `steps`, as a user's `nice` would have before the work started.
void NiceBy(int steps)
{
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, thread, CurrentThreadScheduling().nice + steps);
}

struct Case
{
    const char* name;
    int niceBefore;
};
const Case Cases[] = {{"an ordinary thread", 0}, {"a thread already niced", 3}};
} // namespace

TEST(ThreadPriority, BatchWorkKeepsItsNiceValueAndTakesTheBatchPolicy)
{
    for (const Case& test : Cases) {
        SCOPED_TRACE(test.name);
        ThreadScheduling before;
        const ThreadScheduling after = OnNewThread([&] {
            NiceBy(test.niceBefore);
            before = CurrentThreadScheduling();
            ScheduleAsBatchWork();
            return CurrentThreadScheduling();
        });
        EXPECT_EQ(before.policy, SCHED_OTHER);
        EXPECT_EQ(after.policy, SCHED_BATCH);
        EXPECT_EQ(after.nice, before.nice);
    }
}

TEST(ThreadPriority, ThreadsStartedByBatchWorkAreTreatedTheSameNeverLower)
{
    for (const Case& test : Cases) {
        SCOPED_TRACE(test.name);
        ThreadScheduling work;
        const ThreadScheduling helper = OnNewThread([&] {
            NiceBy(test.niceBefore);
            ScheduleAsBatchWork();
            work = CurrentThreadScheduling();
            return OnNewThread([] { return CurrentThreadScheduling(); });
        });
        EXPECT_EQ(helper.policy, SCHED_BATCH);
        EXPECT_EQ(helper.nice, work.nice);
    }
}

TEST(ThreadPriority, MarkingTwiceChangesNothingMore)
{
    ThreadScheduling once;
    const ThreadScheduling twice = OnNewThread([&] {
        ScheduleAsBatchWork();
        once = CurrentThreadScheduling();
        ScheduleAsBatchWork();
        return CurrentThreadScheduling();
    });
    EXPECT_EQ(twice.policy, once.policy);
    EXPECT_EQ(twice.nice, once.nice);
}

TEST(ThreadPriority, TheThreadThatStartedTheWorkKeepsItsOwnScheduling)
{
    const ThreadScheduling window = CurrentThreadScheduling();
    OnNewThread([] {
        ScheduleAsBatchWork();
        return CurrentThreadScheduling();
    });
    const ThreadScheduling afterwards = CurrentThreadScheduling();
    EXPECT_EQ(afterwards.policy, window.policy);
    EXPECT_EQ(afterwards.nice, window.nice);
}
