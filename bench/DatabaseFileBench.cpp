#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <unistd.h>

#include "AllocationCounter.h"
#include "BenchDatabase.h"
#include "CpuClock.h"
#include "core/database/DatabaseFile.h"
#include "core/database/WinCrypto.h"

// Reading and writing a database file against the bare work of its two cipher layers on the same bytes, in the
// same run: the ratio shows what the format code adds to the unavoidable cipher cost.
namespace {
// Processor time is measured: of this thread for a write, of every thread for a read, which decrypts on all cores;
// the wall time, which also holds the wait for the disk to confirm the sync, is Google Benchmark's own "Time" column.
const SecureString Password = ToSecure(u"benchmark password");

std::filesystem::path BenchFile()
{
    return std::filesystem::temp_directory_path() / ("lockmere-bench-" + std::to_string(::getpid()) + ".ldb");
}

template <class Duration> double Seconds(Duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// Both layers over the plaintext, in place, as the writer does them.
void BareEncrypt(SecureBytes& buffer, std::size_t plaintextBytes)
{
    std::size_t length =
        CWinCrypto(CWinCrypto::Algorithm::TripleDes112, Password).EncryptInPlace(buffer.data(), plaintextBytes);
    CWinCrypto(CWinCrypto::Algorithm::Aes256, Password).EncryptInPlace(buffer.data(), length);
}

void BareDecrypt(SecureBytes& buffer)
{
    std::size_t length =
        CWinCrypto(CWinCrypto::Algorithm::Aes256, Password).DecryptInPlace(buffer.data(), buffer.size());
    CWinCrypto(CWinCrypto::Algorithm::TripleDes112, Password).DecryptInPlace(buffer.data(), length);
}

void ReportRatio(benchmark::State& state, double operation, double baseline, std::size_t plaintextBytes,
                 std::size_t peakBytes)
{
    state.counters["ratio_to_cipher"] = operation / baseline;
    state.counters["plaintext_MB"] = static_cast<double>(plaintextBytes) / 1e6;
    state.counters["peak_to_plaintext"] = static_cast<double>(peakBytes) / static_cast<double>(plaintextBytes);
}

void BM_WriteDatabase(benchmark::State& state)
{
    BenchDatabase bench(static_cast<std::size_t>(state.range(0)));
    const auto file = BenchFile();
    const SecureBytes plaintext = PlaintextWithPaddingRoom(bench.database);
    const std::size_t plaintextBytes = plaintext.size() - 24;
    double writing = 0;
    double cipher = 0;
    std::size_t peak = 0;
    for (auto _ : state) {
        SecureBytes buffer = plaintext;
        auto start = ThreadClock::now();
        BareEncrypt(buffer, plaintextBytes);
        cipher += Seconds(ThreadClock::now() - start);

        AllocationCounter::ResetPeak();
        const std::size_t before = AllocationCounter::CurrentBytes();
        start = ThreadClock::now();
        benchmark::DoNotOptimize(WriteDatabase(bench.database, file, Password));
        writing += Seconds(ThreadClock::now() - start);
        peak = std::max(peak, AllocationCounter::PeakBytes() - before);
    }
    ReportRatio(state, writing, cipher, plaintextBytes, peak);
    std::filesystem::remove(file);
}

void BM_ReadDatabase(benchmark::State& state)
{
    BenchDatabase bench(static_cast<std::size_t>(state.range(0)));
    const auto file = BenchFile();
    WriteDatabase(bench.database, file, Password);
    const SecureBytes plaintext = PlaintextWithPaddingRoom(bench.database);
    SecureBytes encrypted = plaintext;
    BareEncrypt(encrypted, plaintext.size() - 24);
    encrypted.resize(std::filesystem::file_size(file));
    double reading = 0;
    double cipher = 0;
    std::size_t peak = 0;
    for (auto _ : state) {
        SecureBytes buffer = encrypted;
        auto start = ThreadClock::now();
        BareDecrypt(buffer);
        cipher += Seconds(ThreadClock::now() - start);

        CDataBase loaded(bench.reporter, bench.texts);
        AllocationCounter::ResetPeak();
        const std::size_t before = AllocationCounter::CurrentBytes();
        const auto startOfWork = ProcessClock::now();
        benchmark::DoNotOptimize(ReadDatabase(loaded, file, Password));
        reading += Seconds(ProcessClock::now() - startOfWork);
        // The file is read into pages of its own, outside the counted heap, and handed back as the records are read:
        // counting all of it on top of the heap's peak is the most it can take.
        peak = std::max(peak, AllocationCounter::PeakBytes() - before + encrypted.size());
    }
    ReportRatio(state, reading, cipher, plaintext.size() - 24, peak);
    std::filesystem::remove(file);
}

BENCHMARK(BM_WriteDatabase)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDatabase)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace
