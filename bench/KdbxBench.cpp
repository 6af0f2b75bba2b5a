#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "BenchDatabase.h"
#include "CpuClock.h"
#include "core/database/DatabaseFile.h"
#include "core/importexport/ExportFile.h"
#include "core/importexport/kdbx/KdbxReader.h"
#include "core/importexport/kdbx/KdbxWriter.h"
#include "core/passgen/RandomSource.h"

namespace {
const SecureString Password = ToSecure(u"bench password");

std::filesystem::path BenchFile(const char* name)
{
    return std::filesystem::temp_directory_path() / ("lockmere-kdbx-bench-" + std::to_string(::getpid()) + "-" + name);
}

KdbxCredentials Credentials()
{
    KdbxCredentials credentials;
    credentials.password = Password;
    return credentials;
}

// One AES-KDF round: the measured import and export are the file's own work, the key derivation is timed apart.
KdbxWriteOptions WithoutKdfWork()
{
    KdbxWriteOptions options;
    options.kdf = KdbxKdf::Kind::AesKdbx4;
    options.rounds = 1;
    return options;
}

struct Timing
{
    double wall = 0;
    double cpu = 0;

    template <class Work> void Add(Work&& work)
    {
        const double wallStart = SecondsOf<std::chrono::steady_clock>();
        const double cpuStart = SecondsOf<ProcessClock>();
        work();
        wall += SecondsOf<std::chrono::steady_clock>() - wallStart;
        cpu += SecondsOf<ProcessClock>() - cpuStart;
    }
};

// The KDBX import and export of 100,000 entries against reading our own file of the same entries.
void BM_KdbxImportExportAgainstReadDatabase(benchmark::State& state)
{
    BenchDatabase bench(static_cast<std::size_t>(state.range(0)));
    const auto ownFile = BenchFile("own.ldb");
    const auto kdbxFile = BenchFile("import.kdbx");
    const auto exportFile = BenchFile("export.kdbx");
    if (!WriteDatabase(bench.database, ownFile, Password) || !WriteExportFile(bench.reporter, kdbxFile, [&] {
            return WriteKdbx(bench.database, u"Bench", Credentials(), WithoutKdfWork(), OsRandom(), 1700000000);
        })) {
        state.SkipWithError("cannot write the files");
        return;
    }
    Timing read, import, exported;
    for (auto _ : state) {
        CDataBase loaded(bench.reporter, bench.texts);
        read.Add([&] { benchmark::DoNotOptimize(ReadDatabase(loaded, ownFile, Password)); });
        CDataBase imported(bench.reporter, bench.texts);
        import.Add([&] {
            std::optional<KdbxImport> file = ReadKdbxFile(imported, kdbxFile, Credentials());
        if (!file || AddOtherExport(imported, std::move(file->read)).added != bench.database.Size()) {
            throw std::runtime_error("the KDBX import lost entries");
        }
    });
    exported.Add([&] {
        WriteExportFile(bench.reporter, exportFile, [&] {
            return WriteKdbx(loaded, u"Bench", Credentials(), WithoutKdfWork(), OsRandom(), 1700000000);
        });
    });
}
for (const auto& file : {ownFile, kdbxFile, exportFile}) {
    std::filesystem::remove(file);
}
const double iterations = static_cast<double>(state.iterations());
state.counters["read_ms"] = read.wall / iterations * 1e3;
state.counters["import_ms"] = import.wall / iterations * 1e3;
state.counters["export_ms"] = exported.wall / iterations * 1e3;
state.counters["import_to_read"] = import.wall / read.wall;
state.counters["export_to_read"] = exported.wall / read.wall;
state.counters["import_cpu_to_read_cpu"] = import.cpu / read.cpu;
state.counters["export_cpu_to_read_cpu"] = exported.cpu / read.cpu;
} // namespace
BENCHMARK(BM_KdbxImportExportAgainstReadDatabase)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The key derivation alone, as the export sets it (Argon2id, 64 MiB, 10 iterations, 2 lanes): the same for any
// number of entries, and what a KeePassXC file with its default parameters costs to open.
void BM_KdbxExportKeyDerivation(benchmark::State& state)
{
    const KdbxWriteOptions defaults;
    KdbxKdf kdf;
    kdf.kind = defaults.kdf;
    kdf.rounds = defaults.rounds;
    kdf.memoryBytes = defaults.argon2MemoryBytes;
    kdf.parallelism = defaults.argon2Parallelism;
    kdf.seed.assign(32, 7);
    const std::array<unsigned char, 32> composite{};
    std::array<unsigned char, 32> out{};
    for (auto _ : state) {
        DeriveKey(kdf, composite, out);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_KdbxExportKeyDerivation)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
