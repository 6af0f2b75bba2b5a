#pragma once

#include <filesystem>
#include <functional>
#include <optional>

// What a run of KillWhileSaving saw.
struct KillLoopResult
{
    int kills = 0;
    int lastState = 0;        // the state the file held after the last kill
    int interruptedSaves = 0; // kills that left a save's temporary file behind: the kill came in mid-write
};

// Kills a saving process at random moments, again and again. Each time a child is forked that saves the states
// first, first + 1, ... into `file` with `save` until it is killed with SIGKILL after a random pause (up to
// maxPauseMicroseconds). After each kill `stateOfFile` tells which state the file holds, or nullopt when it holds
// none of them; the next child goes on after that state, so the content grows. Temporary files that a kill left
// beside `file` are counted and removed. Fails the current test (and stops) when the file holds no state, when it
// holds an older state than before, or when a child ends by itself.
KillLoopResult KillWhileSaving(const std::filesystem::path& file, int kills, int maxPauseMicroseconds,
                               const std::function<bool(int state)>& save,
                               const std::function<std::optional<int>()>& stateOfFile);

// Saves state 0, then kills a saving child 200 times and expects the file to hold exactly one saved state after
// every kill, with some kills landing in the middle of a save.
void ExpectEveryKillLeavesOneSavedState(const std::filesystem::path& file, const std::function<bool(int state)>& save,
                                        const std::function<std::optional<int>()>& stateOfFile);
