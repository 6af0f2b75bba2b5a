#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

#include "BenchDatabase.h"
#include "ParseBaseline.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/CsvLineCheck.h"
#include "core/importexport/OtherExport.h"

namespace {
constexpr std::size_t RecordCount = 100000;

// One program's export: its header line, how it quotes, how it ends lines, and the values of an entry in its columns
// (the tests' exports/README.md says where each format is documented).
struct ExportFormat
{
    const char* name;
    const char* header;
    bool quoteEveryField;
    const char* lineEnd;
    std::function<std::vector<std::string>(const Entry&, std::size_t)> values;
};

std::string Text(const SecureString& value)
{
    return SecureToUtf8(value);
}

void AppendField(std::string& file, const std::string& value, bool quoteAlways)
{
    const bool needsQuotes = quoteAlways || value.find_first_of(",\"\r\n") != std::string::npos;
    if (!needsQuotes) {
        file += value;
        return;
    }
    file += '"';
    for (const char c : value) {
        file += c;
        if (c == '"') {
            file += '"';
        }
    }
    file += '"';
}

const std::vector<ExportFormat>& Formats()
{
    static const std::vector<ExportFormat> formats = {
        {"keepassxc",
         "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\","
         "\"Created\"",
         true, "\n",
         [](const Entry& e, std::size_t) {
             return std::vector<std::string>{Text(e.group),
                                             Text(e.title),
                                             Text(e.username),
                                             Text(e.password),
                                             Text(e.url),
                                             Text(e.notes),
                                             "",
                                             "0",
                                             "2024-05-01T10:00:00Z",
                                             "2023-01-01T10:00:00Z"};
         }},
        {"bitwarden",
         "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp", false,
         "\r\n",
         [](const Entry& e, std::size_t) {
             return std::vector<std::string>{
                 Text(e.group),    "", "login", Text(e.title), Text(e.notes), "", "0", Text(e.url), Text(e.username),
                 Text(e.password), ""};
         }},
        {"bitwarden-organisation",
         "collections,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp", false,
         "\r\n",
         [](const Entry& e, std::size_t) {
             return std::vector<std::string>{Text(e.group), "login",     Text(e.title),    Text(e.notes),    "",
                                             "0",           Text(e.url), Text(e.username), Text(e.password), ""};
         }},
        {"chrome", "name,url,username,password,note", false, "\n",
         [](const Entry& e, std::size_t) {
             return std::vector<std::string>{Text(e.title), Text(e.url), Text(e.username), Text(e.password),
                                             Text(e.notes)};
         }},
        {"firefox",
         "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\","
         "\"timeLastUsed\",\"timePasswordChanged\"",
         true, "\r\n",
         [](const Entry& e, std::size_t i) {
             return std::vector<std::string>{
                 Text(e.url),     Text(e.username), Text(e.password), "", Text(e.url), "{" + std::to_string(i) + "}",
                 "1704067200000", "1704153600000",  "1704067200000"};
         }},
        {"1password",
         "\"Title\",\"Url\",\"Username\",\"Password\",\"OTPAuth\",\"Favorite\",\"Archived\",\"Tags\",\"Notes\"", true,
         "\n",
         [](const Entry& e, std::size_t) {
             return std::vector<std::string>{Text(e.title),    Text(e.url), Text(e.username),
                                             Text(e.password), "",          "false",
                                             "false",          "",          Text(e.notes)};
         }},
        {"lastpass", "url,username,password,totp,extra,name,grouping,fav", false, "\n",
         [](const Entry& e, std::size_t) {
             return std::vector<std::string>{Text(e.url),   Text(e.username), Text(e.password), "",
                                             Text(e.notes), Text(e.title),    Text(e.group),    "0"};
         }},
        {"apple", "Title,URL,Username,Password,Notes,OTPAuth", false, "\n",
         [](const Entry& e, std::size_t) {
             return std::vector<std::string>{Text(e.title),    Text(e.url),   Text(e.username),
                                             Text(e.password), Text(e.notes), ""};
         }},
        {"dashlane", "username,username2,username3,title,password,note,url,category,otpSecret", false, "\n",
         [](const Entry& e, std::size_t) {
             return std::vector<std::string>{
                 Text(e.username), "", "", Text(e.title), Text(e.password), Text(e.notes), Text(e.url),
                 Text(e.group),    ""};
         }},
        {"protonpass", "type,name,url,email,username,password,note,totp,createTime,modifyTime,vault", false, "\r\n",
         [](const Entry& e, std::size_t) {
             return std::vector<std::string>{"login",          Text(e.title),    Text(e.url),   "",
                                             Text(e.username), Text(e.password), Text(e.notes), "",
                                             "1704067200",     "1704067200",     Text(e.group)};
         }},
    };
    return formats;
}

std::string Written(const CDataBase& database, const ExportFormat& format)
{
    std::string file = std::string(format.header) + format.lineEnd;
    std::size_t index = 0;
    for (const auto& item : database) {
        const std::vector<std::string> values = format.values(ToEntry(item), index++);
        for (std::size_t column = 0; column < values.size(); ++column) {
            if (column > 0) {
                file += ',';
            }
            AppendField(file, values[column], format.quoteEveryField);
        }
        file += format.lineEnd;
    }
    return file;
}

struct Inputs
{
    BenchDatabase source{RecordCount};
    std::string own = [this] {
        const SecureBytes bytes = CsvFileBytes(source.database, {});
        return std::string(bytes.begin(), bytes.end());
    }();
    std::vector<std::string> files = [this] {
        std::vector<std::string> written;
        for (const ExportFormat& format : Formats()) {
            written.push_back(Written(source.database, format));
        }
        return written;
    }();
};

const Inputs& SharedInputs()
{
    static const Inputs inputs;
    return inputs;
}

// Where the command's save goes: the file system's own speed is not what is measured.
std::filesystem::path SavedDatabase()
{
    return std::filesystem::temp_directory_path() / ("lockmere-formats-bench-" + std::to_string(::getpid()) + ".ldb");
}

// Runs the import into an empty database in a process of its own and adds its processor time, freeing the database
// included; with `save` also the save every import ends with.
template <class Import> void TimeImport(std::clock_t& total, bool save, const Inputs& inputs, Import&& import)
{
    BenchDatabase::SilentReporter reporter;
    CDataBase database(reporter, inputs.source.texts);
    const std::filesystem::path saved = SavedDatabase();
    AddCpuTimeInOwnProcess(total, [&] {
        import(database);
        if (save && !WriteDatabase(database, saved, ToSecure(u"bench"))) {
            throw std::runtime_error("the save failed");
        }
        database.Clear();
    });
}

// What `lockmere-cli import DB FILE` does with our own export: the check that names the line, then the import.
void PlainImport(CDataBase& database, const Inputs& inputs)
{
    CsvImportOptions options;
    options.header = true;
    if (FindCsvProblem(inputs.own, options) || !ImportCsvBytes(database, inputs.own, options) ||
        database.Size() != RecordCount) {
        throw std::runtime_error("the plain import lost entries");
    }
}

// What `lockmere-cli import DB FILE --from auto` does: recognise, read and map, then add, skipping identical entries.
void AutoImport(CDataBase& database, const std::string& file)
{
    std::optional<OtherExport> read = ReadOtherExport(database, file, "auto");
    if (!read) {
        throw std::runtime_error("the export was refused");
    }
    const ImportCounts counts = AddOtherExport(database, std::move(*read), IdenticalEntries::Skip);
    if (counts.added + counts.renamed + counts.skipped != RecordCount) {
        throw std::runtime_error("the import lost entries");
    }
}

// The other program's export and our own, imported in turn; the ratio of their processor times under `ratioName`.
void CompareImports(benchmark::State& state, bool save, const char* ratioName)
{
    const Inputs& inputs = SharedInputs();
    const auto format = static_cast<std::size_t>(state.range(0));
    state.SetLabel(Formats()[format].name);
    std::clock_t plain = 0;
    std::clock_t automatic = 0;
    for (auto _ : state) {
        TimeImport(plain, save, inputs, [&](CDataBase& database) { PlainImport(database, inputs); });
        TimeImport(automatic, save, inputs, [&](CDataBase& database) { AutoImport(database, inputs.files[format]); });
    }
    std::filesystem::remove(SavedDatabase());
    state.counters[ratioName] = static_cast<double>(automatic) / static_cast<double>(plain);
    state.counters["plain_cpu_ms"] = CpuMilliseconds(plain, state);
    state.counters["auto_cpu_ms"] = CpuMilliseconds(automatic, state);
}

// The import of another program's export of 100,000 entries should stay within 1.5 times the plain import of our
// own export of the same entries.
void BM_AutoImportAgainstPlainImport(benchmark::State& state)
{
    CompareImports(state, false, "auto_over_plain");
}
BENCHMARK(BM_AutoImportAgainstPlainImport)
    ->DenseRange(0, 9)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();

// The same as the user waits for it: each import ends with the save of the database, which the entries of some
// exports make larger (Firefox's times and identifiers go into the notes). Measured apart, so that the saves do not
// stir the figures of the import alone.
void BM_AutoImportCommandAgainstPlainCommand(benchmark::State& state)
{
    CompareImports(state, true, "command_over_plain");
}
BENCHMARK(BM_AutoImportCommandAgainstPlainCommand)
    ->DenseRange(0, 9)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(4.0)
    ->UseRealTime();
} // namespace
