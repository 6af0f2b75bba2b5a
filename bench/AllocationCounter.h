#pragma once

#include <cstddef>

// Counts the bytes the program has allocated through operator new, so benchmarks can report peak memory.
namespace AllocationCounter {
std::size_t CurrentBytes();
std::size_t PeakBytes();
// Starts a new peak measurement from the current level.
void ResetPeak();
} // namespace AllocationCounter
