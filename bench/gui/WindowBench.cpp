#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <filesystem>
#include <sys/resource.h>

#include "CpuClock.h"
#include "WindowDriver.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"

// The main window at a million entries: opening, adding (with its save), sorting and filling the views all complete,
// the event loop is never kept from running for long while the file is read or written, and the memory stays a small
// multiple of the decrypted text. The open's processor time is that of every thread, so that its wall clock below it
// shows the decryption spread over the cores.
namespace {
using namespace WindowDriver;

void BM_WindowOpenAddSort(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::filesystem::path file = CachedDatabaseFile(count);
    if (file.empty()) {
        state.SkipWithError("cannot write the database file");
        return;
    }
    const double plaintextBytes = static_cast<double>(std::filesystem::file_size(file));
    CTranslate translation{std::filesystem::path()};
    translation.Load(u"");
    CountingReporter reporter;
    COptions options;
    options.fLastDB = true;
    options.LastPath = file.u16string();
    EventLoopGaps gaps;
    for (auto _ : state) {
        CDataBase database(reporter, translation);
        CDlgMain window(database, options, translation, u"");
        window.resize(1000, 700);
        DialogAnswers answers([&gaps] { gaps.Start(); });

        auto start = Clock::now();
        const double openStartCpu = ProcessSeconds();
        window.Start();
        const double openMs = MillisecondsSince(start);
        const double openCpuMs = (ProcessSeconds() - openStartCpu) * 1000;
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
        state.counters["open_cpu_ms"] = openCpuMs;
        state.counters["open_wall_to_cpu"] = openMs / openCpuMs;
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
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_WindowOpenAddSort)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
