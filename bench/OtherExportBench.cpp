#include <benchmark/benchmark.h>

#include <ctime>
#include <stdexcept>
#include <string>

#include "BenchDatabase.h"
#include "ParseBaseline.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/importexport/OtherExport.h"

namespace {
constexpr std::size_t RecordCount = 100000;

void AppendQuoted(std::string& file, const SecureString& value)
{
    file += '"';
    for (const char c : SecureToUtf8(value)) {
        file += c;
        if (c == '"') {
            file += '"';
        }
    }
    file += '"';
}

// The same entries as KeePassXC exports them: every value quoted, line feeds in the notes, and the columns beyond
// the six that go into the notes.
std::string KeePassXcExport(const CDataBase& database)
{
    std::string file = "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\","
                       "\"Last Modified\",\"Created\"\n";
    for (const auto& item : database) {
        const Entry entry = ToEntry(item);
        for (const SecureString* value :
             {&entry.group, &entry.title, &entry.username, &entry.password, &entry.url, &entry.notes}) {
            AppendQuoted(file, *value);
            file += ',';
        }
        file += "\"\",\"0\",\"2024-05-01T10:00:00Z\",\"2023-01-01T10:00:00Z\"\n";
    }
    return file;
}

struct Inputs
{
    BenchDatabase source{RecordCount};
    SecureString plaintext = BuildPlaintext(source.database);
    std::string keePassXc = KeePassXcExport(source.database);
};

const Inputs& SharedInputs()
{
    static const Inputs inputs;
    return inputs;
}

void ImportKeePassXcOnce(const Inputs& inputs)
{
    BenchDatabase::SilentReporter reporter;
    CDataBase database(reporter, inputs.source.texts);
    std::optional<OtherExport> read = ReadOtherExport(database, inputs.keePassXc, "auto");
    if (!read ||
        AddOtherExport(database, std::move(*read), IdenticalEntries::Skip).added != inputs.source.database.Size()) {
        throw std::runtime_error("the KeePassXC import lost entries");
    }
}

// The import of another program's export should stay within three times the file reader's parse.
void BM_KeePassXcImportAgainstParseEntries(benchmark::State& state)
{
    const Inputs& inputs = SharedInputs();
    std::clock_t parse = 0;
    std::clock_t import = 0;
    for (auto _ : state) {
        AddCpuTime(parse, [&] { ParseBaseline(inputs.source.texts, inputs.plaintext); });
        AddCpuTime(import, [&] { ImportKeePassXcOnce(inputs); });
    }
    state.counters["import_over_parse"] = static_cast<double>(import) / static_cast<double>(parse);
    state.counters["parse_cpu_ms"] = CpuMilliseconds(parse, state);
    state.counters["import_cpu_ms"] = CpuMilliseconds(import, state);
}
BENCHMARK(BM_KeePassXcImportAgainstParseEntries)->Unit(benchmark::kMillisecond)->MinTime(3.0);
} // namespace
