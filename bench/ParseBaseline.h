#pragma once

#include <benchmark/benchmark.h>

#include <ctime>

#include "BenchDatabase.h"
#include "core/database/DatabaseFile.h"

// The yardstick of the import and export benchmarks: the database reader's parse of the same entries' decrypted text.
// The operations are timed in turn in every iteration, so that the ratios compare runs under the same load; in CPU
// time, since other programs share the machine.
inline void ParseBaseline(const ITextSource& texts, const SecureString& plaintext)
{
    BenchDatabase::SilentReporter reporter;
    CDataBase database(reporter, texts);
    benchmark::DoNotOptimize(ParseEntries(database, plaintext));
}

// Runs the operation and adds the CPU time it took to `total`.
template <class Operation> void AddCpuTime(std::clock_t& total, Operation&& operation)
{
    const std::clock_t start = std::clock();
    operation();
    total += std::clock() - start;
}

// A total of AddCpuTime as milliseconds per iteration.
inline double CpuMilliseconds(std::clock_t total, const benchmark::State& state)
{
    return 1000.0 * static_cast<double>(total) / CLOCKS_PER_SEC / static_cast<double>(state.iterations());
}
