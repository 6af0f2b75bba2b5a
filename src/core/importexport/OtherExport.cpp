#include "core/importexport/OtherExport.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/CsvLineCheck.h"
#include "core/importexport/FieldNames.h"
#include "core/importexport/ImportFile.h"
#include "core/importexport/ImportKeyOrder.h"
#include "core/importexport/StandardCsv.h"
#include "core/settings/BuiltinTexts.h"

namespace {
constexpr std::string_view AutoPreset = "auto";
constexpr std::size_t HeaderLine = 1;

// The first line that is not UTF-8: a character never spans a line feed, so each line is checked on its own.
std::size_t FirstLineNotUtf8(std::string_view bytes)
{
    std::size_t line = 1;
    for (std::size_t start = 0; start <= bytes.size(); ++line) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        if (!IsWellFormedUtf8(bytes.substr(start, end - start))) {
            return line;
        }
        start = end + 1;
    }
    return 0;
}

// The file is read as UTF-8 where it lies: a decoded copy of a large export would be held, and wiped, as a whole.
void RefuseIllFormedUtf8(std::string_view bytes)
{
    if (!IsWellFormedUtf8(bytes)) {
        throw ImportRefusal{NotUtf8Message, FirstLineNotUtf8(bytes)};
    }
}

void RefuseForbiddenCharacters(std::string_view bytes, const ITextSource& texts)
{
    if (const std::size_t position = FirstForbiddenCharacter(bytes); position != std::string_view::npos) {
        throw ImportRefusal{texts.Text(TextId::InvalidCharacters), LineAt(bytes, position)};
    }
}

// The quoted names on the first line, as our own CSV export writes its header whatever its delimiter.
std::vector<std::u16string> QuotedNamesOfFirstLine(std::string_view text)
{
    std::string_view line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    std::vector<std::u16string> names;
    for (std::size_t open = line.find('"'); open != std::string_view::npos;) {
        const std::size_t close = line.find('"', open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        names.push_back(Utf8ToUtf16(line.substr(open + 1, close - open - 1)));
        open = line.find('"', close + 1);
    }
    return names;
}

// Our own export with its header and all six fields, in any language the program has: a file keeps the language
// it was written in when the user's setting changes.
bool IsOwnExport(std::string_view text, const ITextSource& texts)
{
    const std::vector<std::u16string> names = QuotedNamesOfFirstLine(text);
    if (names.size() != EntryFieldCount) {
        return false;
    }
    int ids[EntryFieldCount];
    for (int field = 0; field < EntryFieldCount; ++field) {
        ids[field] = FieldNameTextId(static_cast<EntryField>(field));
    }
    for (const std::vector<std::u16string>& language : texts.TextsInEveryLanguage(ids)) {
        if (std::equal(names.begin(), names.end(), language.begin(), language.end())) {
            return true;
        }
    }
    return false;
}

// Checked as the plain import checks a file, so that a problem is told with its line in the same words.
OtherExport ReadOwnExport(std::string_view bytes, const ITextSource& texts)
{
    CsvImportOptions options;
    options.header = true;
    if (const std::optional<CsvProblem> problem = FindCsvProblem(bytes, options)) {
        throw ImportRefusal{Utf8ToUtf16(problem->text), problem->line};
    }
    OtherExport read;
    ReadCsvEntries(bytes, options, texts, [&](Entry&& entry) { read.entries.push_back(std::move(entry)); });
    return read;
}

// Our own export's header, as the refusal of an unknown header lists it.
std::u16string OwnHeader(const ITextSource& texts)
{
    std::u16string header;
    for (int field = 0; field < EntryFieldCount; ++field) {
        header += field == 0 ? u"\"" : u",\"";
        header += texts.Text(FieldNameTextId(static_cast<EntryField>(field)));
        header += u'"';
    }
    return header;
}

// Lists our own header too when any known export would have done.
ImportRefusal UnknownHeader(const ITextSource& texts, std::span<const CExportPreset::Layout> candidates, bool any)
{
    std::u16string message = texts.Text(TextId::UnknownExportHeader);
    for (const CExportPreset::Layout& layout : candidates) {
        message += u"\n";
        message += layout.header;
    }
    if (any) {
        message += u"\n" + OwnHeader(texts);
    }
    return {message, HeaderLine};
}

// The keys of an export's records and where each record starts, kept in one wiped buffer: a string per record would
// be an allocation each, made in the file's order, which is not the order the entries are kept in.
class RecordKeys
{
public:
    void Add(std::size_t start, CExportPreset::KeyView key)
    {
        Record record{start, lastGroup, key.group.size(), 0, key.title.size()};
        if (records.empty() || std::u16string_view(keys).substr(lastGroup, key.group.size()) != key.group) {
            record.group = lastGroup = keys.size();
            keys.append(key.group);
        }
        record.title = keys.size();
        keys.append(key.title);
        records.push_back(record);
    }

    std::size_t Size() const { return records.size(); }
    std::size_t StartOf(std::size_t record) const { return records[record].start; }
    CExportPreset::KeyView KeyOf(std::size_t record) const
    {
        const Record& at = records[record];
        const std::u16string_view all(keys);
        return {all.substr(at.group, at.groupSize), all.substr(at.title, at.titleSize)};
    }

private:
    struct Record
    {
        std::size_t start;
        std::size_t group;
        std::size_t groupSize;
        std::size_t title;
        std::size_t titleSize;
    };
    std::vector<Record> records;
    SecureString keys;
    std::size_t lastGroup = 0;
};

CExportPreset PresetOfHeader(StandardCsvReader& reader, std::span<const CExportPreset::Layout> candidates, bool any,
                             const ITextSource& texts)
{
    const std::optional<std::span<SecureString>> header = reader.Next();
    std::optional<CExportPreset> preset;
    if (header) {
        preset = CExportPreset::ForHeader(candidates, *header);
    }
    if (!preset) {
        throw UnknownHeader(texts, candidates, any);
    }
    return *preset;
}

// Read twice: once for the keys, then record by record in key order, so that the entries' strings lie in memory in
// the order the database keeps and later walks them. In the order of the file, each entry of a large export would be
// a cache miss when it is added and again when the database is freed.
OtherExport ReadStandardExport(std::string_view text, std::span<const CExportPreset::Layout> candidates, bool any,
                               const ITextSource& texts)
{
    StandardCsvReader reader(text);
    const std::u16string& defaultGroup = texts.Text(TextId::Import);
    try {
        const CExportPreset preset = PresetOfHeader(reader, candidates, any, texts);
        RecordKeys keys;
        const std::vector<bool> keyColumns = preset.KeyColumns();
        for (std::size_t start = reader.Position(); const auto record = reader.Next(keyColumns);
             start = reader.Position()) {
            keys.Add(start, preset.KeyOf(*record, defaultGroup));
        }
        OtherExport read;
        read.source = preset.Of().source;
        read.records = ImportKeyOrder(keys.Size(), [&](std::size_t record) { return keys.KeyOf(record); });
        read.entries.reserve(keys.Size());
        for (const std::uint32_t record : read.records) {
            reader.MoveTo(keys.StartOf(record));
            read.entries.push_back(preset.EntryOf(*reader.Next(), defaultGroup));
        }
        return read;
    } catch (const StandardCsvBrokenQuote& broken) {
        // The message names the line itself.
        const std::string line = std::to_string(broken.line);
        throw ImportRefusal{texts.Text(TextId::BrokenQuoteBeforeLine) + u" " +
                            std::u16string(line.begin(), line.end()) + texts.Text(TextId::BrokenQuoteAfterLine)};
    }
}

OtherExport Read(const CDataBase& database, std::string_view bytes, std::string_view presetName)
{
    const ITextSource& texts = database.Texts();
    bytes = WithoutByteOrderMark(bytes);
    RefuseIllFormedUtf8(bytes);
    RefuseForbiddenCharacters(bytes, texts);
    if (presetName == AutoPreset) {
        if (IsOwnExport(bytes, texts)) {
            return ReadOwnExport(bytes, texts);
        }
        return ReadStandardExport(bytes, CExportPreset::Layouts(), true, texts);
    }
    const std::span<const CExportPreset::Layout> layouts = CExportPreset::Named(presetName);
    if (layouts.empty()) {
        throw std::invalid_argument("unknown preset");
    }
    return ReadStandardExport(bytes, layouts, false, texts);
}

template <class Operation>
std::optional<OtherExport> RunRead(const CDataBase& database, const std::filesystem::path* file, Operation&& operation)
{
    try {
        return operation();
    } catch (...) {
        ReportImportFailure(database.Reporter(), database.Texts(), file);
    }
    return std::nullopt;
}
} // namespace

std::optional<OtherExport> ReadOtherExport(const CDataBase& database, std::string_view bytes,
                                           std::string_view presetName)
{
    return RunRead(database, nullptr, [&] { return Read(database, bytes, presetName); });
}

std::optional<OtherExport> ReadOtherExportFile(const CDataBase& database, const std::filesystem::path& path,
                                               std::string_view presetName)
{
    return RunRead(database, &path, [&] {
        const SecureBytes bytes = ReadImportFile(path);
        return Read(database, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, presetName);
    });
}

std::vector<const Entry*> FirstEntriesOfFile(const OtherExport& read, std::size_t count)
{
    count = std::min(count, read.entries.size());
    std::vector<const Entry*> first(count, nullptr);
    const bool inFileOrder = read.records.size() != read.entries.size();
    for (std::size_t i = 0; i < read.entries.size(); ++i) {
        const std::size_t record = inFileOrder ? i : read.records[i];
        if (record < count) {
            first[record] = &read.entries[i];
        }
    }
    return first;
}

ImportCounts AddOtherExport(CDataBase& database, OtherExport&& read, IdenticalEntries identical)
{
    std::vector<Entry, WipingAllocator<Entry>>& entries = read.entries;
    if (read.records.size() != entries.size()) {
        // In the file's order: put them in key order, each numbered by its place in the file.
        read.records = ImportKeyOrder(entries.size(), [&](std::size_t i) {
            return CExportPreset::KeyView{entries[i].group, entries[i].title};
        });
        std::vector<Entry, WipingAllocator<Entry>> sorted;
        sorted.reserve(entries.size());
        for (const std::uint32_t record : read.records) {
            sorted.push_back(std::move(entries[record]));
        }
        entries.swap(sorted);
    }
    CEntryImport import(database, identical);
    std::vector<std::size_t> taken;
    // Every entry whose group and title are free goes in first, in key order: a tree filled in order stays in the
    // cache. Then the others in file order, skipped or numbered: equal keys keep their order, so the first of them
    // keeps its title, and a title the file holds as it is ("Bank1") is kept before a number is given to another.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!import.AddUnlessTaken(std::move(entries[i]))) {
            taken.push_back(i);
        }
    }
    std::sort(taken.begin(), taken.end(),
              [&](std::size_t left, std::size_t right) { return read.records[left] < read.records[right]; });
    for (const std::size_t i : taken) {
        import.Add(std::move(entries[i]));
    }
    entries.clear();
    return import.Counts();
}
