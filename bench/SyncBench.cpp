#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "BenchDatabase.h"
#include "CpuClock.h"
#include "core/database/DatabaseFile.h"
#include "core/database/EntryFingerprints.h"
#include "core/database/ThreeWayMerge.h"
#include "core/session/DatabaseSession.h"
#include "platform/HeldFileHandle.h"

// Following a file that a sync tool replaced, and merging another machine's version on save, against reading the
// same file with ReadDatabase in the same run. Processor time of the whole process, as the reader decrypts on every
// core.
namespace {
const SecureString Password = ToSecure(u"benchmark password");
constexpr std::size_t ChangedOnEachSide = 100;

std::filesystem::path BenchFolder()
{
    const auto folder = std::filesystem::temp_directory_path() / ("lockmere-sync-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

template <class Work> double ProcessSeconds(Work work)
{
    const auto start = ProcessClock::now();
    work();
    return std::chrono::duration<double>(ProcessClock::now() - start).count();
}

double ReadSeconds(const std::filesystem::path& file, BenchDatabase& bench)
{
    CDataBase loaded(bench.reporter, bench.texts);
    return ProcessSeconds([&] { benchmark::DoNotOptimize(ReadDatabase(loaded, file, Password)); });
}

// The n-th entry of the collection gets another user name: a change made on one machine.
void ChangeEvery(CDataBase& database, std::size_t firstIndex, std::size_t step, std::size_t count)
{
    auto item = std::next(database.begin(), static_cast<std::ptrdiff_t>(firstIndex));
    for (std::size_t changed = 0; changed < count; ++changed) {
        const EntryKey key = item->first;
        EntryFields fields = item->second;
        fields.username += u" changed";
        std::advance(item, static_cast<std::ptrdiff_t>(step));
        database.Replace(key, key, fields);
    }
}

class BenchPrompts : public IPrompts
{
public:
    explicit BenchPrompts(std::filesystem::path file)
        : file(std::move(file))
    {}
    std::optional<std::filesystem::path> ChooseFileToOpen() override { return file; }
    std::optional<std::filesystem::path> ChooseFileToSave(const std::u16string&) override { return std::nullopt; }
    std::optional<SecureString> AskPassword(EnterMode, const std::filesystem::path&) override { return Password; }
    std::optional<SecureString> AskNewPassword(SetPasswordMode) override { return std::nullopt; }
    bool AskOkCancel(const std::u16string&) override { return false; }
    void ShowTip(int, int) override {}

private:
    std::filesystem::path file;
};

void BM_FollowFileReload(benchmark::State& state)
{
    const auto folder = BenchFolder();
    const auto file = folder / "db.ldb";
    BenchDatabase bench(static_cast<std::size_t>(state.range(0)));
    WriteDatabase(bench.database, file, Password);
    ChangeEvery(bench.database, 7, 997, ChangedOnEachSide);
    const auto otherVersion = folder / "other.ldb";
    WriteDatabase(bench.database, otherVersion, Password);

    CDataBase shown(bench.reporter, bench.texts);
    std::u16string lastPath;
    BenchPrompts prompts(file);
    NoSessionView views;
    HeldFileHandle handle;
    DatabaseSession session(shown, lastPath, prompts, views, handle);
    session.OpenDatabase();
    double following = 0;
    double reading = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A new file each time, renamed over the held one as a sync tool brings it.
        std::filesystem::copy_file(otherVersion, folder / "arriving.ldb",
                                   std::filesystem::copy_options::overwrite_existing);
        std::rename((folder / "arriving.ldb").c_str(), file.c_str());
        state.ResumeTiming();
        following += ProcessSeconds([&] {
            if (session.FollowFile() != FollowResult::Reloaded) {
                state.SkipWithError("the new version was not followed");
            }
        });
        reading += ReadSeconds(file, bench);
    }
    state.counters["ratio_to_read"] = following / reading;
    std::filesystem::remove_all(folder);
}

void BM_ThreeWayMerge(benchmark::State& state)
{
    const auto folder = BenchFolder();
    const auto file = folder / "theirs.ldb";
    BenchDatabase bench(static_cast<std::size_t>(state.range(0)));
    CDataBase theirs(bench.reporter, bench.texts);
    for (const auto& [key, fields] : bench.database) {
        theirs.Insert(key, fields);
    }
    ChangeEvery(theirs, 3, 991, ChangedOnEachSide);
    WriteDatabase(theirs, file, Password);
    double takingBase = 0;
    double merging = 0;
    double reading = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CDataBase ours(bench.reporter, bench.texts);
        for (const auto& [key, fields] : bench.database) {
            ours.Insert(key, fields);
        }
        state.ResumeTiming();
        std::optional<EntryFingerprints> base;
        takingBase += ProcessSeconds([&] { base = EntryFingerprints::Of(ours); });
        state.PauseTiming();
        ChangeEvery(ours, 5, 983, ChangedOnEachSide);
        state.ResumeTiming();
        merging += ProcessSeconds([&] { benchmark::DoNotOptimize(ThreeWayMerge(*base, theirs, ours)); });
        reading += ReadSeconds(file, bench);
    }
    state.counters["base_ratio_to_read"] = takingBase / reading;
    state.counters["merge_ratio_to_read"] = merging / reading;
    std::filesystem::remove_all(folder);
}

BENCHMARK(BM_FollowFileReload)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ThreeWayMerge)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
} // namespace
