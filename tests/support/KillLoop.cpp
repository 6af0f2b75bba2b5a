#include "support/KillLoop.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include <gtest/gtest.h>

namespace {
// Removes what killed saves left beside the file and tells how many there were.
int RemoveLeftovers(const std::filesystem::path& file)
{
    int leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
        if (entry.path() != file && entry.path().filename().string().starts_with(file.filename().string() + ".")) {
            std::filesystem::remove(entry.path());
            ++leftovers;
        }
    }
    return leftovers;
}
} // namespace

KillLoopResult KillWhileSaving(const std::filesystem::path& file, int kills, int maxPauseMicroseconds,
                               const std::function<bool(int state)>& save,
                               const std::function<std::optional<int>()>& stateOfFile)
{
    KillLoopResult result;
    const std::optional<int> initial = stateOfFile();
    if (!initial) {
        ADD_FAILURE() << "the file holds no state before the first save";
        return result;
    }
    result.lastState = *initial;
    // A fixed seed: the pauses repeat from run to run, the moments they hit within a save do not.
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> pause(0, maxPauseMicroseconds);
    for (int kill = 0; kill < kills; ++kill) {
        const int first = result.lastState + 1;
        const pid_t child = ::fork();
        if (child < 0) {
            ADD_FAILURE() << "fork failed";
            return result;
        }
        if (child == 0) {
            for (int state = first;; ++state) {
                if (!save(state)) {
                    ::_exit(1);
                }
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
        result.interruptedSaves += RemoveLeftovers(file);
        const std::optional<int> state = stateOfFile();
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
                                        const std::function<std::optional<int>()>& stateOfFile)
{
    ASSERT_TRUE(save(0));
    const KillLoopResult result = KillWhileSaving(file, 200, 20000, save, stateOfFile);

    EXPECT_EQ(result.kills, 200);
    EXPECT_GT(result.lastState, 0) << "no save finished between the kills";
    EXPECT_GT(result.interruptedSaves, 0) << "no kill came in the middle of a save";
    testing::Test::RecordProperty("states", result.lastState);
    testing::Test::RecordProperty("interrupted_saves", result.interruptedSaves);
}
