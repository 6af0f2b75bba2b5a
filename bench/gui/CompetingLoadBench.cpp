#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "CompetingLoad.h"
#include "WindowDriver.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"

// Opening a database in the window while another program keeps every core busy, against the same open on a machine
// left to it, in the same run. The file work shares the processors fairly with the other program, so the open takes
// at most about twice as long, and the window's event loop keeps running throughout. The opens alternate between
// quiet and loaded so that a drift in what else the machine runs falls on both alike.
namespace {
using namespace WindowDriver;
using namespace std::chrono_literals;

constexpr int Rounds = 4;
// Far longer than an open under load takes, so that the load lasts the whole open, and short enough that a
// benchmark that hangs does not leave it running long.
constexpr auto LoadBound = 120s;

struct Open
{
    double wallMs = 0;
    double longestGapMs = 0;
};

// Opens the file through the window as the user does, timed from the moment the password is given until the list is
// filled; nullopt when it did not open.
std::optional<Open> OpenInWindow(const std::filesystem::path& file, std::size_t count)
{
    LastDatabaseSettings settings(file);
    CDataBase database(settings.reporter, settings.translation);
    CDlgMain window(database, settings.options, settings.translation, u"");
    window.resize(1000, 700);
    EventLoopGaps gaps;
    Clock::time_point answered;
    DialogAnswers answers([&] {
        answered = Clock::now();
        gaps.Start();
    });
    window.Start();
    Open open{MillisecondsSince(answered), gaps.Stop()};
    const bool opened = window.Session().IsOpen() && database.Size() == count && settings.reporter.messages == 0;
    window.OnCommand(CommandId::FileClose);
    return opened ? std::optional(open) : std::nullopt;
}

std::optional<Open> OpenUnderLoad(const std::filesystem::path& file, std::size_t count)
{
    const CompetingLoad load(LoadBound);
    if (!load.Running()) {
        return std::nullopt;
    }
    return OpenInWindow(file, count);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void BM_WindowOpenAgainstCompetingLoad(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::filesystem::path file = CachedDatabaseFile(count);
    if (file.empty()) {
        state.SkipWithError("cannot write the database file");
        return;
    }
    std::vector<double> quiet;
    std::vector<double> loaded;
    std::vector<double> ratios;
    double quietGapMs = 0;
    double loadedGapMs = 0;
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            const bool quietFirst = round % 2 == 0;
            std::optional<Open> first = quietFirst ? OpenInWindow(file, count) : OpenUnderLoad(file, count);
            std::optional<Open> second = quietFirst ? OpenUnderLoad(file, count) : OpenInWindow(file, count);
            if (!first || !second) {
                state.SkipWithError("the database did not open, or the competing load did not start");
                break;
            }
            const Open& alone = quietFirst ? *first : *second;
            const Open& underLoad = quietFirst ? *second : *first;
            quiet.push_back(alone.wallMs);
            loaded.push_back(underLoad.wallMs);
            ratios.push_back(underLoad.wallMs / alone.wallMs);
            quietGapMs = std::max(quietGapMs, alone.longestGapMs);
            loadedGapMs = std::max(loadedGapMs, underLoad.longestGapMs);
        }
    }
    std::filesystem::remove(file);
    if (ratios.empty()) {
        return;
    }
    state.counters["quiet_ms"] = Median(quiet);
    state.counters["loaded_ms"] = Median(loaded);
    state.counters["ratio"] = Median(ratios);
    state.counters["ratio_min"] = *std::min_element(ratios.begin(), ratios.end());
    state.counters["ratio_max"] = *std::max_element(ratios.begin(), ratios.end());
    state.counters["quiet_gap_ms"] = quietGapMs;
    state.counters["loaded_gap_ms"] = loadedGapMs;
    state.counters["cores"] = std::max(1u, std::thread::hardware_concurrency());
}
BENCHMARK(BM_WindowOpenAgainstCompetingLoad)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
