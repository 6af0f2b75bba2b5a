#include <benchmark/benchmark.h>

#include <QPrinter>
#include <filesystem>
#include <unistd.h>

#include "BenchDatabase.h"
#include "CpuClock.h"
#include "core/importexport/TextExport.h"
#include "gui/importexport/PrintListing.h"

// Printing to a PDF file against writing the same listing as a text file, in the same run: the bisection measures
// every page about twenty times, which must stay a small multiple of what laying the text out once costs.
namespace {
void BM_PrintAgainstTextExport(benchmark::State& state)
{
    BenchDatabase bench(static_cast<std::size_t>(state.range(0)));
    const auto folder = std::filesystem::temp_directory_path();
    const auto pdf = folder / ("lockmere-print-bench-" + std::to_string(::getpid()) + ".pdf");
    const auto text = folder / ("lockmere-print-bench-" + std::to_string(::getpid()) + ".txt");
    double printSeconds = 0;
    double exportSeconds = 0;
    for (auto _ : state) {
        double start = ThreadSeconds();
        benchmark::DoNotOptimize(ExportTextListing(bench.database, text));
        exportSeconds += ThreadSeconds() - start;

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        start = ThreadSeconds();
        benchmark::DoNotOptimize(PrintListing(printer, bench.database));
        printSeconds += ThreadSeconds() - start;
    }
    std::filesystem::remove(pdf);
    std::filesystem::remove(text);
    const double iterations = static_cast<double>(state.iterations());
    state.counters["print_ms"] = printSeconds / iterations * 1e3;
    state.counters["export_ms"] = exportSeconds / iterations * 1e3;
    state.counters["print_to_export"] = printSeconds / exportSeconds;
}
BENCHMARK(BM_PrintAgainstTextExport)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);
} // namespace
