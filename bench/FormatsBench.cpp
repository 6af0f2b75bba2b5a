#include <benchmark/benchmark.h>

#include <ctime>
#include <random>
#include <string>

#include "ParseBaseline.h"
#include "core/database/DatabaseFile.h"
#include "core/importexport/CsvFormat.h"
#include "core/settings/BuiltinTexts.h"

namespace {
constexpr int EntryCount = 100000;

class SilentReporter : public IMessageReporter
{
public:
    void ShowMessage(const std::u16string&, MessageIcon) override {}
};

class EnglishTexts : public ITextSource
{
public:
    EnglishTexts()
    {
        for (int id = 0; id < BuiltinTextCount; ++id) {
            texts.emplace_back(BuiltinText(id));
        }
    }
    const std::u16string& Text(int id) const override { return texts.at(static_cast<std::size_t>(id)); }

private:
    std::vector<std::u16string> texts;
};

SilentReporter reporter;
EnglishTexts texts;

SecureString RandomText(std::mt19937& random, std::size_t length, std::u16string_view alphabet)
{
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    SecureString text;
    for (std::size_t i = 0; i < length; ++i) {
        text.push_back(alphabet[pick(random)]);
    }
    return text;
}

// Entries shaped like a real database: a few groups, typical field lengths, notes with the odd quote and line.
const CDataBase& Entries()
{
    static CDataBase database(reporter, texts);
    if (database.Empty()) {
        std::mt19937 random(100000);
        const std::u16string_view letters = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        const std::u16string_view notes = u"abcdefghijklmnopqrstuvwxyz   ,.\"\r\n\u00E9";
        for (int i = 0; database.Size() < EntryCount; ++i) {
            EntryKey key{RandomText(random, 6, u"ABCDEFGHIJKLMNOPQRST").substr(0, 1 + i % 6),
                         RandomText(random, 14, letters)};
            EntryFields fields{RandomText(random, 10, letters), RandomText(random, 16, letters),
                               ToSecure(u"https://") + RandomText(random, 20, letters), RandomText(random, 40, notes)};
            database.Insert(key, fields);
        }
    }
    return database;
}

struct Inputs
{
    SecureString plaintext = BuildPlaintext(Entries());
    SecureBytes csvBytes = CsvFileBytes(Entries(), {});
    CsvImportOptions importOptions = [] {
        CsvImportOptions options;
        options.header = true;
        return options;
    }();
};

const Inputs& SharedInputs()
{
    static const Inputs inputs;
    return inputs;
}

void ImportCsvOnce(const Inputs& inputs)
{
    CDataBase database(reporter, texts);
    const std::string_view bytes(reinterpret_cast<const char*>(inputs.csvBytes.data()), inputs.csvBytes.size());
    if (!ImportCsvBytes(database, bytes, inputs.importOptions) || database.Size() != EntryCount) {
        throw std::runtime_error("the CSV import lost entries");
    }
}

void ExportCsvOnce()
{
    const SecureBytes bytes = CsvFileBytes(Entries(), {});
    benchmark::DoNotOptimize(bytes.data());
}

void BM_ParseEntries(benchmark::State& state)
{
    const Inputs& inputs = SharedInputs();
    for (auto _ : state) {
        ParseBaseline(texts, inputs.plaintext);
    }
}
BENCHMARK(BM_ParseEntries)->Unit(benchmark::kMillisecond);

void BM_CsvImport(benchmark::State& state)
{
    const Inputs& inputs = SharedInputs();
    for (auto _ : state) {
        ImportCsvOnce(inputs);
    }
}
BENCHMARK(BM_CsvImport)->Unit(benchmark::kMillisecond);

void BM_CsvExport(benchmark::State& state)
{
    SharedInputs();
    for (auto _ : state) {
        ExportCsvOnce();
    }
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond);

void BM_CsvAgainstParseEntries(benchmark::State& state)
{
    const Inputs& inputs = SharedInputs();
    std::clock_t parse = 0;
    std::clock_t import = 0;
    std::clock_t exportTime = 0;
    for (auto _ : state) {
        AddCpuTime(parse, [&] { ParseBaseline(texts, inputs.plaintext); });
        AddCpuTime(import, [&] { ImportCsvOnce(inputs); });
        AddCpuTime(exportTime, [] { ExportCsvOnce(); });
    }
    state.counters["import_over_parse"] = static_cast<double>(import) / static_cast<double>(parse);
    state.counters["export_over_parse"] = static_cast<double>(exportTime) / static_cast<double>(parse);
    state.counters["parse_cpu_ms"] = CpuMilliseconds(parse, state);
    state.counters["import_cpu_ms"] = CpuMilliseconds(import, state);
    state.counters["export_cpu_ms"] = CpuMilliseconds(exportTime, state);
}
BENCHMARK(BM_CsvAgainstParseEntries)->Unit(benchmark::kMillisecond)->MinTime(3.0);
} // namespace
