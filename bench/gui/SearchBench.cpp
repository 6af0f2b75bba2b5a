#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QTreeWidget>
#include <QWidget>
#include <filesystem>
#include <unistd.h>

#include "BenchDatabase.h"
#include "CpuClock.h"
#include "ReadBaseline.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "gui/mainwindow/EntryListModel.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"
#include "gui/mainwindow/QuickSearch.h"
#include "gui/mainwindow/SearchField.h"

// Typing into the search field against reading the same database file, in the same run: one keystroke must cost a
// small part of what opening the database costs. Every entry's URL starts with "https", so each key of that word
// refills the list with every entry, the most a keystroke can cost. Giving the field the keyboard folds the searched
// text of every entry, once per change of the collection; that is measured on its own.
namespace {

struct SearchWindow
{
    explicit SearchWindow(const CDataBase& database)
    {
        window.resize(1000, 700);
        views = new EntryViews(database, options, texts, &window);
        views->SetStatusPanes(&groupPane, &countPane);
        field = new SearchField(texts, &window);
        new QuickSearch(*views, *field, window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        auto* lists = new QHBoxLayout;
        lists->addWidget(views->GroupTree());
        lists->addWidget(views->List(), 1);
        layout->addLayout(lists, 1);
        views->RebuildColumns();
        views->FillViews(true);
        window.show();
        window.activateWindow();
        QApplication::processEvents();
    }

    BenchDatabase::EnglishTexts texts;
    COptions options;
    QLabel groupPane;
    QLabel countPane;
    QWidget window;
    EntryViews* views = nullptr;
    SearchField* field = nullptr;
};

void BM_SearchKeystrokeAgainstReadDatabase(benchmark::State& state)
{
    BenchDatabase bench(static_cast<std::size_t>(state.range(0)));
    ReadBaseline baseline(bench, "search");
    if (!baseline.Written()) {
        state.SkipWithError("cannot write the database file");
        return;
    }
    SearchWindow shown(bench.database);
    const QString word = QStringLiteral("https");

    double prepareSeconds = 0;
    double keySeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        shown.field->clear();
        // As after a change of the collection: the folded text is gone.
        shown.views->FillViews(true);
        shown.views->List()->setFocus();
        QApplication::processEvents();
        state.ResumeTiming();

        baseline.Run(state);

        double start = ThreadSeconds();
        shown.field->setFocus();
        QApplication::processEvents();
        prepareSeconds += ThreadSeconds() - start;

        for (const QChar key : word) {
            start = ThreadSeconds();
            shown.field->insert(key);
            QApplication::processEvents();
            keySeconds += ThreadSeconds() - start;
        }
    }
    const double readSeconds = baseline.Seconds();
    const double iterations = static_cast<double>(state.iterations());
    const double keys = iterations * static_cast<double>(word.size());
    state.counters["read_ms"] = readSeconds / iterations * 1e3;
    state.counters["prepare_ms"] = prepareSeconds / iterations * 1e3;
    state.counters["key_ms"] = keySeconds / keys * 1e3;
    state.counters["prepare_to_read"] = prepareSeconds / readSeconds;
    state.counters["key_to_read"] = (keySeconds / keys) / (readSeconds / iterations);
    state.counters["listed"] = shown.views->Model()->rowCount();
}
BENCHMARK(BM_SearchKeystrokeAgainstReadDatabase)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace
