#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>
#include <unistd.h>
#include <vector>

#include "AllocationCounter.h"
#include "BenchDatabase.h"
#include "CpuClock.h"
#include "core/database/DatabaseFile.h"
#include "core/database/WinCrypto.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/TextExport.h"

// Opening and saving a database of realistic entries against the single-thread work of its cipher layers on the
// same bytes, in the same run. Opening is timed on the wall clock, as its decryption runs on every core, and by the
// processor time of all its threads (the work it does, whatever else the machine runs); a save runs
// on one thread and is timed by that thread's CPU time, which stays meaningful on a machine busy with other work.
// The disk's confirmation of the sync is left out, as it does not depend on the code.
namespace {
constexpr std::size_t RecordCount = 100000;
constexpr int EditsAveraged = 50;
const SecureString Password = ToSecure(u"benchmark password");

using WallClock = std::chrono::steady_clock;

template <class Clock> double SecondsSince(typename Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class NoSyncCalls : public FileSystemCalls
{
public:
    int Sync(int) const override { return 0; }
};
const NoSyncCalls NoSync;

std::filesystem::path BenchFile()
{
    return std::filesystem::temp_directory_path() / ("lockmere-speed-" + std::to_string(::getpid()) + ".ldb");
}

double SingleThreadEncryption(const SecureBytes& plaintext)
{
    SecureBytes buffer = plaintext;
    const auto start = ThreadClock::now();
    const std::size_t length =
        CWinCrypto(CWinCrypto::Algorithm::TripleDes112, Password).EncryptInPlace(buffer.data(), buffer.size() - 24);
    CWinCrypto(CWinCrypto::Algorithm::Aes256, Password).EncryptInPlace(buffer.data(), length);
    return SecondsSince<ThreadClock>(start);
}

template <class Clock = WallClock> double SingleThreadDecryption(SecureBytes buffer)
{
    const auto start = Clock::now();
    const std::size_t length =
        CWinCrypto(CWinCrypto::Algorithm::Aes256, Password).DecryptInPlace(buffer.data(), buffer.size());
    CWinCrypto(CWinCrypto::Algorithm::TripleDes112, Password).DecryptInPlace(buffer.data(), length);
    return SecondsSince<Clock>(start);
}

SecureBytes EncryptedFile(const CDataBase& database)
{
    SecureBytes buffer = PlaintextWithPaddingRoom(database);
    const std::size_t length =
        CWinCrypto(CWinCrypto::Algorithm::TripleDes112, Password).EncryptInPlace(buffer.data(), buffer.size() - 24);
    buffer.resize(CWinCrypto(CWinCrypto::Algorithm::Aes256, Password).EncryptInPlace(buffer.data(), length));
    return buffer;
}

void SaveAndRemember(const CDataBase& database, const std::filesystem::path& file, DatabaseFileText& written)
{
    const UnchangedPrefix unchanged{written, database.FirstChangedKey()};
    if (!WriteDatabase(database, file, Password, {{}, NoSync}, &written, &unchanged)) {
        throw std::runtime_error("the benchmark save failed");
    }
}

void BM_OpenAgainstSingleThreadDecryption(benchmark::State& state)
{
    BenchDatabase bench(RecordCount);
    const auto file = BenchFile();
    WriteDatabase(bench.database, file, Password, {{}, NoSync});
    const SecureBytes encrypted = EncryptedFile(bench.database);
    double opening = 0;
    double cipher = 0;
    double openingWork = 0;
    double cipherWork = 0;
    for (auto _ : state) {
        cipher += SingleThreadDecryption(encrypted);
        cipherWork += SingleThreadDecryption<ThreadClock>(encrypted);
        CDataBase loaded(bench.reporter, bench.texts);
        const auto start = WallClock::now();
        const auto startOfWork = ProcessClock::now();
        benchmark::DoNotOptimize(ReadDatabase(loaded, file, Password));
        openingWork += SecondsSince<ProcessClock>(startOfWork);
        opening += SecondsSince<WallClock>(start);
    }
    // The processor time of every thread of the open, spread over the cores: what the open takes when they are all
    // free, which a machine busy with other work does not show on the wall clock.
    const auto cores = static_cast<double>(std::max(1u, std::thread::hardware_concurrency()));
    state.counters["ratio_on_free_cores"] = openingWork / cores / cipherWork;
    state.counters["ratio_to_decryption"] = opening / cipher;
    state.counters["work_to_decryption"] = openingWork / cipherWork;
    state.counters["cores"] = cores;
    std::filesystem::remove(file);
}

// A save after an edit of one entry, against a full encryption of the same text.
void MeasureSaveAfterEdit(benchmark::State& state, bool lastEntry)
{
    BenchDatabase bench(RecordCount);
    CDataBase& database = bench.database;
    const auto file = BenchFile();
    DatabaseFileText written;
    WriteDatabase(database, file, Password, {{}, NoSync}, &written);
    database.ForgetChanges();
    std::vector<EntryKey> keys;
    for (const auto& item : database) {
        keys.push_back(item.first);
    }
    std::mt19937 random(50);
    double saving = 0;
    double cipher = 0;
    for (auto _ : state) {
        for (int edit = 0; edit < EditsAveraged; ++edit) {
            const EntryKey& key = lastEntry ? keys.back() : keys[random() % keys.size()];
            EntryFields fields = database.Find(key)->Fields();
            fields.username.push_back(u'x');
            database.Replace(key, key, fields);
            const auto start = ThreadClock::now();
            SaveAndRemember(database, file, written);
            saving += SecondsSince<ThreadClock>(start);
            database.ForgetChanges();
            // The baseline is taken among the saves, so that both see the same load of the machine.
            if (edit % 10 == 0) {
                cipher += SingleThreadEncryption(PlaintextWithPaddingRoom(database)) * 10;
            }
        }
    }
    state.counters["ratio_to_encryption"] = saving / cipher;
    std::filesystem::remove(file);
}

void BM_SaveAfterEditOfRandomEntry(benchmark::State& state)
{
    MeasureSaveAfterEdit(state, false);
}

void BM_SaveAfterEditOfLastEntry(benchmark::State& state)
{
    MeasureSaveAfterEdit(state, true);
}

// The export of every entry (as the command line does it: open, then write the export) against the work of
// decrypting the file on one thread, and its peak memory against that of opening alone (`ls`). CPU time of the whole
// process, so that the figures count the work on every core and stay meaningful on a busy machine; and the wall
// clock, which is what the user waits.
void BM_ExportAgainstCipherWork(benchmark::State& state)
{
    BenchDatabase bench(RecordCount);
    const auto file = BenchFile();
    const auto exported = std::filesystem::path(file.string() + ".export");
    WriteDatabase(bench.database, file, Password, {{}, NoSync});
    const SecureBytes encrypted = EncryptedFile(bench.database);
    const auto exportTo = [&](const CDataBase& database) {
        switch (state.range(0)) {
        case 0:
            return ExportCsv(database, exported, CsvExportOptions{}, NoSync);
        case 1:
            return ExportTextListing(database, exported, NoSync);
        }
        return ExportHtml(database, exported, NoSync);
    };
    double cipher = 0;
    double cipherWall = 0;
    double listing = 0;
    double exporting = 0;
    double exportingWall = 0;
    std::size_t listingPeak = 0;
    std::size_t exportPeak = 0;
    for (auto _ : state) {
        cipher += SingleThreadDecryption<ProcessClock>(encrypted);
        cipherWall += SingleThreadDecryption(encrypted);
        for (const bool withExport : {false, true}) {
            CDataBase loaded(bench.reporter, bench.texts);
            AllocationCounter::ResetPeak();
            const std::size_t before = AllocationCounter::CurrentBytes();
            const auto start = ProcessClock::now();
            const auto wallStart = WallClock::now();
            benchmark::DoNotOptimize(ReadDatabase(loaded, file, Password));
            if (withExport) {
                benchmark::DoNotOptimize(exportTo(loaded));
                exportingWall += SecondsSince<WallClock>(wallStart);
            }
            (withExport ? exporting : listing) += SecondsSince<ProcessClock>(start);
            std::size_t& peak = withExport ? exportPeak : listingPeak;
            peak = std::max(peak, AllocationCounter::PeakBytes() - before);
        }
    }
    state.counters["export_to_decryption"] = exporting / cipher;
    state.counters["export_wall_to_decryption"] = exportingWall / cipherWall;
    state.counters["ls_to_decryption"] = listing / cipher;
    state.counters["export_peak_to_ls"] = static_cast<double>(exportPeak) / static_cast<double>(listingPeak);
    std::filesystem::remove(file);
    std::filesystem::remove(exported);
}

BENCHMARK(BM_OpenAgainstSingleThreadDecryption)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveAfterEditOfRandomEntry)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_SaveAfterEditOfLastEntry)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_ExportAgainstCipherWork)->ArgName("csv_txt_html")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
} // namespace
