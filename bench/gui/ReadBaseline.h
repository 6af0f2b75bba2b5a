#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "BenchDatabase.h"
#include "CpuClock.h"
#include "core/database/DatabaseFile.h"

// The yardstick of the window's benchmarks: reading the same database from its file in the same run, so that a view's
// cost is judged as a share of what opening the database already costs. The read decrypts on worker threads, so its
// cost is the processor time of the whole process while it runs, not of the calling thread alone, which would count
// little more than the waiting.
class ReadBaseline
{
public:
    ReadBaseline(BenchDatabase& bench, const std::string& name)
        : file(std::filesystem::temp_directory_path() /
               ("lockmere-" + name + "-bench-" + std::to_string(::getpid()) + ".ldb"))
        , read(bench.reporter, bench.texts)
        , written(WriteDatabase(bench.database, file, Password()))
    {}
    ~ReadBaseline() { std::filesystem::remove(file); }
    ReadBaseline(const ReadBaseline&) = delete;
    ReadBaseline& operator=(const ReadBaseline&) = delete;

    bool Written() const { return written; }

    // One timed read into an emptied collection; the emptying is not timed.
    void Run(benchmark::State& state)
    {
        state.PauseTiming();
        read.Clear();
        state.ResumeTiming();
        const double start = ProcessSeconds();
        benchmark::DoNotOptimize(ReadDatabase(read, file, Password()));
        seconds += ProcessSeconds() - start;
    }

    double Seconds() const { return seconds; }

private:
    static const SecureString& Password()
    {
        static const SecureString password = ToSecure(u"benchmark password");
        return password;
    }

    std::filesystem::path file;
    CDataBase read;
    bool written;
    double seconds = 0;
};
