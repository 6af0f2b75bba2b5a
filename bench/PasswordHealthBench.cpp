#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <random>
#include <unistd.h>

#include "BenchDatabase.h"
#include "CpuClock.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/health/PasswordHealth.h"

// The whole password health report against reading the same database file, in the same run. The report runs on
// worker threads, so both are timed on the wall clock (what the user waits for); the CPU time of the whole process
// is given beside it, as the machine may be busy with other work.
namespace {
const SecureString Password = ToSecure(u"benchmark password");

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Passwords as people have them: mostly generated ones of 12 to 20 characters, a fifth made of a word, a number
// and a symbol, one in twenty-five shared from a small pool of favourites, one in a hundred empty.
SecureString RealisticPassword(std::mt19937& random)
{
    static const std::array<std::u16string_view, 12> Words = {u"summer", u"dragon", u"monkey",  u"sunshine",
                                                              u"orange", u"river",  u"castle",  u"garden",
                                                              u"silver", u"falcon", u"Michael", u"football"};
    static const std::array<std::u16string_view, 5> Favourites = {u"Passw0rd!", u"letmein", u"Sommer2024", u"qwerty123",
                                                                  u"Anna1985"};
    static const std::u16string_view Alphabet = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!#$%&*";
    const unsigned kind = random() % 100;
    if (kind == 0) {
        return {};
    }
    if (kind < 5) {
        return ToSecure(Favourites[random() % Favourites.size()]);
    }
    if (kind < 25) {
        return ToSecure(Words[random() % Words.size()]) + ToSecure(ToU16(random() % 10000)) + u'!';
    }
    SecureString generated(12 + random() % 9, u' ');
    for (auto& unit : generated) {
        unit = Alphabet[random() % Alphabet.size()];
    }
    return generated;
}

void BM_PasswordHealthAgainstReadDatabase(benchmark::State& state)
{
    BenchDatabase bench(static_cast<std::size_t>(state.range(0)));
    BenchDatabase realistic(0);
    std::mt19937 random(7);
    for (const auto& [key, fields] : bench.database) {
        realistic.database.Add(key, {fields.username, RealisticPassword(random), fields.url, fields.notes});
    }
    const auto file =
        std::filesystem::temp_directory_path() / ("lockmere-health-bench-" + std::to_string(::getpid()) + ".ldb");
    if (!WriteDatabase(realistic.database, file, Password)) {
        state.SkipWithError("cannot write the database file");
        return;
    }
    CDataBase read(bench.reporter, bench.texts);
    double readWall = 0, readCpu = 0, reportWall = 0, reportCpu = 0;
    std::size_t findings = 0;
    for (auto _ : state) {
        read.Clear();
        double wall = WallSeconds(), cpu = SecondsOf<ProcessClock>();
        benchmark::DoNotOptimize(ReadDatabase(read, file, Password));
        readWall += WallSeconds() - wall;
        readCpu += SecondsOf<ProcessClock>() - cpu;

        wall = WallSeconds(), cpu = SecondsOf<ProcessClock>();
        findings = AnalyzePasswordHealth(read).size();
        reportWall += WallSeconds() - wall;
        reportCpu += SecondsOf<ProcessClock>() - cpu;
    }
    std::filesystem::remove(file);
    const double iterations = static_cast<double>(state.iterations());
    state.counters["read_ms"] = readWall / iterations * 1e3;
    state.counters["report_ms"] = reportWall / iterations * 1e3;
    state.counters["report_to_read"] = reportWall / readWall;
    state.counters["report_cpu_to_read_cpu"] = reportCpu / readCpu;
    state.counters["threads"] = HealthThreadCount();
    state.counters["findings"] = static_cast<double>(findings);
}
BENCHMARK(BM_PasswordHealthAgainstReadDatabase)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
