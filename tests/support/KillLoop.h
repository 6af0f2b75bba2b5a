#pragma once

#include <filesystem>
#include <functional>
#include <optional>

// What a run of KillWhileSaving saw.
struct KillLoopResult
{
    int kills = 0;
    int lastState = 0;         // the state the file held after the last kill
    int killsDuringSave = 0;   // kills that came while a save was running
    int completeLeftovers = 0; // complete, synced copies a kill left under a temporary name on the way to the rename
};

// Which saved state the file at the path holds, or nullopt when it holds none of them whole.
using StateOfFile = std::function<std::optional<int>(const std::filesystem::path&)>;

// Kills a saving process at random moments, again and again. Each time a child is forked that saves the states
// first, first + 1, ... into `file` with `save` until it is killed with SIGKILL after a random pause (up to
// maxPauseMicroseconds). After each kill `stateOf` tells which state the file holds; the next child goes on after
// that state, so the content grows. Any other file a kill left beside `file` is checked and removed: it must be a
// whole saved state, never a part of one. Fails the current test (and stops) when the file holds no state, when it
// holds an older state than before, when a kill left part of a state under any name, or when a child ends by itself.
KillLoopResult KillWhileSaving(const std::filesystem::path& file, int kills, int maxPauseMicroseconds,
                               const std::function<bool(int state)>& save, const StateOfFile& stateOf);

// Saves state 0, then kills a saving child 200 times and expects the file to hold exactly one saved state after
// every kill and no part of a state anywhere else, with many kills landing in the middle of a save.
void ExpectEveryKillLeavesOneSavedState(const std::filesystem::path& file, const std::function<bool(int state)>& save,
                                        const StateOfFile& stateOf);
