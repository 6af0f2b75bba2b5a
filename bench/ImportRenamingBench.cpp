#include <benchmark/benchmark.h>

#include <ctime>
#include <stdexcept>
#include <string>

#include "BenchDatabase.h"
#include "core/importexport/CsvFormat.h"

namespace {
constexpr int RecordCount = 100000;

// A CSV file of RecordCount records: all under one group and title (every record but the first is renamed), or
// each under its own title.
std::string CsvFile(bool sameTitle)
{
    std::string csv;
    csv.reserve(static_cast<std::size_t>(RecordCount) * 60);
    for (int i = 0; i < RecordCount; ++i) {
        const std::string title = sameTitle ? "Bank" : "Bank " + std::to_string(i);
        csv += "\"Web\",\"" + title + "\",\"ann\",\"secret" + std::to_string(i) + "\",\"https://bank\",\"\"\r\n";
    }
    return csv;
}

double ImportCpuSeconds(const std::string& csv)
{
    BenchDatabase target(0);
    const std::clock_t start = std::clock();
    const bool imported = ImportCsvBytes(target.database, csv, CsvImportOptions{});
    const std::clock_t end = std::clock();
    if (!imported || target.database.Size() != static_cast<std::size_t>(RecordCount)) {
        throw std::runtime_error("the import lost records");
    }
    return static_cast<double>(end - start) / CLOCKS_PER_SEC;
}

// Renaming 100,000 records that share a key, as a ratio to importing 100,000 distinct ones in the same iteration.
// Both go through AddRenaming; the first pays for numbering every record.
void BM_ImportSharedTitleAgainstDistinct(benchmark::State& state)
{
    const std::string shared = CsvFile(true);
    const std::string distinct = CsvFile(false);
    double sharedSeconds = 0;
    double distinctSeconds = 0;
    for (auto _ : state) {
        sharedSeconds += ImportCpuSeconds(shared);
        distinctSeconds += ImportCpuSeconds(distinct);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["shared_over_distinct"] = sharedSeconds / distinctSeconds;
    state.counters["shared_cpu_ms"] = 1000.0 * sharedSeconds / iterations;
    state.counters["distinct_cpu_ms"] = 1000.0 * distinctSeconds / iterations;
}
BENCHMARK(BM_ImportSharedTitleAgainstDistinct)->Unit(benchmark::kMillisecond)->MinTime(2.0);
} // namespace
