#pragma once

#include <benchmark/benchmark.h>

#include <ctime>
#include <stdexcept>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

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

// The same in a child process, which starts from the heap as it is now: an operation that fills and frees a large
// database leaves the heap in a state that makes the next run faster or slower by a third, so runs in turn in one
// process compare heaps, not code. A child is also how the command line runs an import. Throws when the operation
// throws or the child dies.
template <class Operation> void AddCpuTimeInOwnProcess(std::clock_t& total, Operation&& operation)
{
    int channel[2];
    if (::pipe(channel) != 0) {
        throw std::runtime_error("no pipe for the child");
    }
    // Free memory goes back to the system first, so that the child fills fresh pages as a new process does rather
    // than copies of the parent's.
    ::malloc_trim(0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::clock_t used = -1;
        try {
            used = 0;
            AddCpuTime(used, operation);
        } catch (...) {
            used = -1;
        }
        const bool told = ::write(channel[1], &used, sizeof used) == sizeof used;
        ::_exit(told ? 0 : 1);
    }
    ::close(channel[1]);
    std::clock_t used = -1;
    const bool heard = child > 0 && ::read(channel[0], &used, sizeof used) == sizeof used;
    ::close(channel[0]);
    int status = 0;
    if (child > 0) {
        ::waitpid(child, &status, 0);
    }
    if (!heard || used < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the measured operation failed in its child process");
    }
    total += used;
}

// A total of AddCpuTime as milliseconds per iteration.
inline double CpuMilliseconds(std::clock_t total, const benchmark::State& state)
{
    return 1000.0 * static_cast<double>(total) / CLOCKS_PER_SEC / static_cast<double>(state.iterations());
}
