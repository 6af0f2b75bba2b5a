#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <filesystem>
#include <sys/resource.h>

#include "CpuClock.h"
#include "WindowDriver.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"

// The main window at a million entries: opening, adding (with its save), sorting and filling the views all complete,
// the event loop is never kept from running for long while the file is read or written, and the memory stays a small
// multiple of the decrypted text. From the password on, the open's wall clock is set against the processor time of all
// its threads, beside the same ratio for reading the file directly as the command line does: below 1 the decryption
// runs on several cores at once, and the two ratios close together say the window takes the same parallel path.
namespace {
using namespace WindowDriver;

// Wall clock over processor time of every thread, from `start` on.
struct Stopwatch
{
    Clock::time_point wall = Clock::now();
    double processor = ProcessSeconds();

    double WallToProcessor() const { return MillisecondsSince(wall) / ((ProcessSeconds() - processor) * 1000); }
};

// The same file read straight into a collection, as the command line reads it, in the same run: the yardstick for
// how far the window's open spreads over the cores on the machine as loaded at the moment.
double DirectReadWallToProcessor(const std::filesystem::path& file, CountingReporter& reporter,
                                 const ITextSource& texts)
{
    CDataBase database(reporter, texts);
    const Stopwatch read;
    ReadDatabase(database, file, ToSecure(Password().toStdU16String()));
    return read.WallToProcessor();
}

void BM_WindowOpenAddSort(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::filesystem::path file = CachedDatabaseFile(count);
    if (file.empty()) {
        state.SkipWithError("cannot write the database file");
        return;
    }
    const double plaintextBytes = static_cast<double>(std::filesystem::file_size(file));
    LastDatabaseSettings settings(file);
    CountingReporter& reporter = settings.reporter;
    EventLoopGaps gaps;
    for (auto _ : state) {
        CDataBase database(reporter, settings.translation);
        CDlgMain window(database, settings.options, settings.translation, u"");
        window.resize(1000, 700);
        Stopwatch fromPassword;
        DialogAnswers answers([&] {
            gaps.Start();
            fromPassword = Stopwatch();
        });

        auto start = Clock::now();
        window.Start();
        const double openMs = MillisecondsSince(start);
        const double openWallToProcessor = fromPassword.WallToProcessor();
        const double openGapMs = gaps.Stop();
        if (!window.Session().IsOpen() || database.Size() != count) {
            state.SkipWithError("the database did not open");
            return;
        }

        answers.commandStart = start = Clock::now();
        window.OnCommand(CommandId::EditAddEntry);
        const double addMs = MillisecondsSince(start);
        const double saveGapMs = gaps.Stop();
        if (database.Size() != count + 1 || reporter.messages != 0) {
            state.SkipWithError("the entry was not added");
            return;
        }

        start = Clock::now();
        window.OnCommand(CommandId::EditSortTitle);
        QApplication::processEvents();
        const double sortMs = MillisecondsSince(start);

        start = Clock::now();
        window.Views().FillViews(true);
        QApplication::processEvents();
        const double fillMs = MillisecondsSince(start);

        gaps.Start();
        start = Clock::now();
        window.OnCommand(CommandId::FileClose);
        const double closeMs = MillisecondsSince(start);
        const double closeGapMs = gaps.Stop();

        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        state.counters["open_ms"] = openMs;
        state.counters["open_wall_to_cpu"] = openWallToProcessor;
        state.counters["open_gap_ms"] = openGapMs;
        state.counters["add_ms"] = addMs;
        state.counters["save_gap_ms"] = saveGapMs;
        state.counters["edit_dialog_ms"] = answers.dialogShownMs;
        state.counters["sort_ms"] = sortMs;
        state.counters["fill_ms"] = fillMs;
        state.counters["close_ms"] = closeMs;
        state.counters["close_gap_ms"] = closeGapMs;
        state.counters["plaintext_mb"] = plaintextBytes / 1e6;
        state.counters["peak_to_plaintext"] = static_cast<double>(usage.ru_maxrss) * 1024.0 / plaintextBytes;
        // After the peak is taken, so that it stays the window's.
        state.counters["direct_read_wall_to_cpu"] = DirectReadWallToProcessor(file, reporter, settings.translation);
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_WindowOpenAddSort)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
