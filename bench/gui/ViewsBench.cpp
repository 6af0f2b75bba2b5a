#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QTreeWidget>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <time.h>
#include <unistd.h>

#include "ReadBaseline.h"
#include "core/settings/Options.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"

// Filling the tree and list, and sorting the list, against reading the same database file, in the same run: the
// views must cost a small part of what opening the database already costs.
namespace {
// The main window's two views in a shown window, so that the list lays out and paints as it would on screen.
struct ShownViews
{
    explicit ShownViews(const CDataBase& database)
    {
        window.resize(1000, 700);
        views = new EntryViews(database, options, texts, &window);
        views->SetStatusPanes(&groupPane, &countPane);
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(views->GroupTree());
        layout->addWidget(views->List(), 1);
        window.show();
        QApplication::processEvents();
    }

    BenchDatabase::EnglishTexts texts;
    COptions options;
    QLabel groupPane;
    QLabel countPane;
    QWidget window;
    EntryViews* views = nullptr;
};

void BM_ViewsAgainstReadDatabase(benchmark::State& state)
{
    BenchDatabase bench(static_cast<std::size_t>(state.range(0)));
    ReadBaseline baseline(bench, "views");
    if (!baseline.Written()) {
        state.SkipWithError("cannot write the database file");
        return;
    }
    ShownViews shown(bench.database);

    double fillSeconds = 0;
    double sortSeconds = 0;
    for (auto _ : state) {
        baseline.Run(state);

        double start = ThreadSeconds();
        shown.views->RebuildColumns();
        shown.views->FillViews(true);
        QApplication::processEvents();
        fillSeconds += ThreadSeconds() - start;

        start = ThreadSeconds();
        shown.views->Sort(EntryField::Title);
        QApplication::processEvents();
        sortSeconds += ThreadSeconds() - start;
    }
    const double readSeconds = baseline.Seconds();
    const double iterations = static_cast<double>(state.iterations());
    state.counters["read_ms"] = readSeconds / iterations * 1e3;
    state.counters["fill_ms"] = fillSeconds / iterations * 1e3;
    state.counters["sort_ms"] = sortSeconds / iterations * 1e3;
    state.counters["fill_to_read"] = fillSeconds / readSeconds;
    state.counters["sort_to_read"] = sortSeconds / readSeconds;
}
BENCHMARK(BM_ViewsAgainstReadDatabase)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
