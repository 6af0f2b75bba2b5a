#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMenu>

#include "ReadBaseline.h"
#include "core/settings/Options.h"
#include "gui/mainwindow/TrayMenu.h"

// Opening the notification-area menu and one of its entry submenus, against reading the same database file in the
// same run: the menu must open at once however large the database is.
namespace {
QMenu* EntrySubmenu(const QMenu& menu)
{
    for (QAction* action : menu.actions()) {
        if (action->menu() != nullptr) {
            return action->menu();
        }
    }
    return nullptr;
}

void BM_TrayMenuAgainstReadDatabase(benchmark::State& state)
{
    BenchDatabase bench(static_cast<std::size_t>(state.range(0)));
    ReadBaseline baseline(bench, "tray");
    if (!baseline.Written()) {
        state.SkipWithError("cannot write the database file");
        return;
    }
    COptions options;
    options.fPasteMenuTray = true;
    options.fAutoLoginMenuTray = true;
    options.fGroupEntriesTray = state.range(1) != 0;
    TrayMenu tray(bench.database, options, bench.texts, [] { return true; });

    double menuSeconds = 0;
    for (auto _ : state) {
        baseline.Run(state);

        const double start = ThreadSeconds();
        tray.Menu()->popup(QPoint(10, 10));
        QApplication::processEvents();
        QMenu* submenu = EntrySubmenu(*tray.Menu());
        submenu->popup(QPoint(200, 10));
        QApplication::processEvents();
        menuSeconds += ThreadSeconds() - start;
        benchmark::DoNotOptimize(submenu->actions().size());

        state.PauseTiming();
        submenu->hide();
        tray.Menu()->hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    const double readSeconds = baseline.Seconds();
    const double iterations = static_cast<double>(state.iterations());
    state.counters["read_ms"] = readSeconds / iterations * 1e3;
    state.counters["menu_ms"] = menuSeconds / iterations * 1e3;
    state.counters["menu_to_read"] = menuSeconds / readSeconds;
}
// Arguments: number of entries, grouped submenus (1) or flat (0).
BENCHMARK(BM_TrayMenuAgainstReadDatabase)->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMillisecond);
} // namespace
