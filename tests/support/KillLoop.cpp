#include "support/KillLoop.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include <gtest/gtest.h>

namespace {
// Checks what a kill left beside the file and removes it; tells how many leftovers there were, or -1 (after failing
// the test) when one held part of a state.
int CheckAndRemoveLeftovers(const std::filesystem::path& file, const StateOfFile& stateOf, int kill)
{
    int leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
        if (entry.path() == file) {
            continue;
        }
        if (!stateOf(entry.path())) {
            ADD_FAILURE() << "kill " << kill << " left part of the content under the name " << entry.path();
            return -1;
        }
        std::filesystem::remove(entry.path());
        ++leftovers;
    }
    return leftovers;
}

// A flag in memory shared with the children: whether the child is inside a save when it is killed.
class SharedFlag
{
public:
    SharedFlag()
        : flag(static_cast<std::atomic<int>*>(
              ::mmap(nullptr, sizeof(std::atomic<int>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0)))
    {
        new (flag) std::atomic<int>(0);
    }
    ~SharedFlag() { ::munmap(flag, sizeof(std::atomic<int>)); }
    SharedFlag(const SharedFlag&) = delete;
    SharedFlag& operator=(const SharedFlag&) = delete;

    std::atomic<int>& operator*() const { return *flag; }

private:
    std::atomic<int>* flag;
};
} // namespace

KillLoopResult KillWhileSaving(const std::filesystem::path& file, int kills, int maxPauseMicroseconds,
                               const std::function<bool(int state)>& save, const StateOfFile& stateOf)
{
    KillLoopResult result;
    const std::optional<int> initial = stateOf(file);
    if (!initial) {
        ADD_FAILURE() << "the file holds no state before the first save";
        return result;
    }
    result.lastState = *initial;
    const SharedFlag saving;
    // A fixed seed: the pauses repeat from run to run, the moments they hit within a save do not.
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> pause(0, maxPauseMicroseconds);
    for (int kill = 0; kill < kills; ++kill) {
        const int first = result.lastState + 1;
        *saving = 0;
        const pid_t child = ::fork();
        if (child < 0) {
            ADD_FAILURE() << "fork failed";
            return result;
        }
        if (child == 0) {
            for (int state = first;; ++state) {
                *saving = 1;
                if (!save(state)) {
                    ::_exit(1);
                }
                *saving = 0;
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) {
            ADD_FAILURE() << "the saving process ended by itself (status " << status << ") at kill " << kill;
            return result;
        }
        ++result.kills;
        result.killsDuringSave += *saving;
        const int leftovers = CheckAndRemoveLeftovers(file, stateOf, kill);
        if (leftovers < 0) {
            return result;
        }
        result.completeLeftovers += leftovers;
        const std::optional<int> state = stateOf(file);
        if (!state) {
            ADD_FAILURE() << "after kill " << kill << " the file holds none of the saved states (last was "
                          << result.lastState << ")";
            return result;
        }
        if (*state < result.lastState) {
            ADD_FAILURE() << "after kill " << kill << " the file went back from state " << result.lastState << " to "
                          << *state;
            return result;
        }
        result.lastState = *state;
    }
    return result;
}

void ExpectEveryKillLeavesOneSavedState(const std::filesystem::path& file, const std::function<bool(int state)>& save,
                                        const StateOfFile& stateOf)
{
    ASSERT_TRUE(save(0));
    const KillLoopResult result = KillWhileSaving(file, 200, 20000, save, stateOf);

    EXPECT_EQ(result.kills, 200);
    EXPECT_GT(result.lastState, 0) << "no save finished between the kills";
    EXPECT_GT(result.killsDuringSave, 100) << "too few kills came in the middle of a save";
    testing::Test::RecordProperty("states", result.lastState);
    testing::Test::RecordProperty("kills_during_save", result.killsDuringSave);
    testing::Test::RecordProperty("complete_leftovers", result.completeLeftovers);
}
