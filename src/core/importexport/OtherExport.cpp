#include "core/importexport/OtherExport.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/database/RecordReader.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/CsvLineCheck.h"
#include "core/importexport/FieldNames.h"
#include "core/importexport/ImportFile.h"
#include "core/importexport/StandardCsv.h"
#include "core/settings/BuiltinTexts.h"

namespace {
constexpr std::string_view AutoPreset = "auto";
constexpr std::size_t HeaderLine = 1;

// The first line that is not UTF-8: a character never spans a line feed, so each line decodes on its own.
std::size_t FirstLineNotUtf8(std::string_view bytes)
{
    std::size_t line = 1;
    for (std::size_t start = 0; start <= bytes.size(); ++line) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        if (!DecodeUtf8Strict(bytes.substr(start, end - start))) {
            return line;
        }
        start = end + 1;
    }
    return 0;
}

// The decoded file, wiped when the reading ends, as it holds the file's secrets.
class DecodedExport
{
public:
    explicit DecodedExport(std::string_view bytes)
    {
        std::optional<std::u16string> decoded = DecodeUtf8Strict(bytes);
        if (!decoded) {
            throw ImportRefusal{NotUtf8Message, FirstLineNotUtf8(bytes)};
        }
        text = std::move(*decoded);
    }
    ~DecodedExport() { WipeString(text); }
    DecodedExport(const DecodedExport&) = delete;
    DecodedExport& operator=(const DecodedExport&) = delete;

    std::u16string_view View() const { return text; }

private:
    std::u16string text;
};

// The field terminator in UTF-8, where each of its units is one byte.
constexpr char FieldTerminatorUtf8[] = {static_cast<char>(FieldTerminator[0]), static_cast<char>(FieldTerminator[1]),
                                        static_cast<char>(FieldTerminator[2])};
static_assert(std::size(FieldTerminator) == std::size(FieldTerminatorUtf8) &&
              std::ranges::all_of(FieldTerminator, [](char16_t unit) { return unit < 0x80; }));

// The number of line feeds in the bytes: the C library's search is many times faster than a loop over the units.
std::size_t LineFeeds(std::string_view bytes)
{
    std::size_t count = 0;
    for (const char *at = bytes.data(), *end = bytes.data() + bytes.size();
         (at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) != nullptr; ++at) {
        ++count;
    }
    return count;
}

// Entries cannot hold a NUL or the database's field terminator: the saved file would cut them short. Both are
// ASCII, so they are looked for in the UTF-8 bytes, where the C library searches.
void RefuseForbiddenCharacters(std::string_view bytes, const ITextSource& texts)
{
    const std::size_t position =
        std::min(bytes.find('\0'), bytes.find(std::string_view(FieldTerminatorUtf8, std::size(FieldTerminatorUtf8))));
    if (position != std::string_view::npos) {
        throw ImportRefusal{texts.Text(TextId::InvalidCharacters), 1 + LineFeeds(bytes.substr(0, position))};
    }
}

// The quoted names on the first line, as our own CSV export writes its header whatever its delimiter.
std::vector<std::u16string_view> QuotedNamesOfFirstLine(std::u16string_view text)
{
    std::u16string_view line = text.substr(0, text.find(u'\n'));
    if (!line.empty() && line.back() == u'\r') {
        line.remove_suffix(1);
    }
    std::vector<std::u16string_view> names;
    for (std::size_t open = line.find(u'"'); open != std::u16string_view::npos;) {
        const std::size_t close = line.find(u'"', open + 1);
        if (close == std::u16string_view::npos) {
            break;
        }
        names.push_back(line.substr(open + 1, close - open - 1));
        open = line.find(u'"', close + 1);
    }
    return names;
}

// Our own export with its header and all six fields, in any language the program has: a file keeps the language
// it was written in when the user's setting changes.
bool IsOwnExport(std::u16string_view text, const ITextSource& texts)
{
    const std::vector<std::u16string_view> names = QuotedNamesOfFirstLine(text);
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

OtherExport ReadStandardExport(std::u16string_view text, std::size_t lineFeeds,
                               std::span<const CExportPreset::Layout> candidates, bool any, const ITextSource& texts)
{
    OtherExport read;
    // One entry per line at most: the entries are never moved to a larger vector.
    read.entries.reserve(lineFeeds);
    std::optional<CExportPreset> preset;
    const std::u16string& defaultGroup = texts.Text(TextId::Import);
    try {
        ReadStandardCsv(text, [&](std::span<SecureString> fields) {
            if (!preset) {
                preset = CExportPreset::ForHeader(candidates, fields);
                if (!preset) {
                    throw UnknownHeader(texts, candidates, any);
                }
                read.source = preset->Of().source;
                return;
            }
            read.entries.push_back(preset->EntryOf(fields, defaultGroup));
        });
    } catch (const StandardCsvBrokenQuote& broken) {
        // The message names the line itself.
        const std::string line = std::to_string(broken.line);
        throw ImportRefusal{texts.Text(TextId::BrokenQuoteBeforeLine) + u" " +
                            std::u16string(line.begin(), line.end()) + texts.Text(TextId::BrokenQuoteAfterLine)};
    }
    if (!preset) {
        throw UnknownHeader(texts, candidates, any);
    }
    return read;
}

OtherExport Read(const CDataBase& database, std::string_view bytes, std::string_view presetName)
{
    const ITextSource& texts = database.Texts();
    bytes = WithoutByteOrderMark(bytes);
    const DecodedExport decoded(bytes);
    const std::u16string_view text = decoded.View();
    RefuseForbiddenCharacters(bytes, texts);
    const std::size_t lineFeeds = LineFeeds(bytes);
    if (presetName == AutoPreset) {
        if (IsOwnExport(text, texts)) {
            return ReadOwnExport(bytes, texts);
        }
        return ReadStandardExport(text, lineFeeds, CExportPreset::Layouts(), true, texts);
    }
    const std::span<const CExportPreset::Layout> layouts = CExportPreset::Named(presetName);
    if (layouts.empty()) {
        throw std::invalid_argument("unknown preset");
    }
    return ReadStandardExport(text, lineFeeds, layouts, false, texts);
}

// The entries in key order, equal keys in file order. Sorted by a number made of the group's rank and the title's
// first units, so that the sort touches the entries themselves only to tell apart keys with the same number; an
// export in key order already (one with a group column) is not sorted at all.
std::vector<Entry*> InKeyOrder(std::vector<Entry, WipingAllocator<Entry>>& entries)
{
    std::vector<Entry*> order;
    order.reserve(entries.size());
    for (Entry& entry : entries) {
        order.push_back(&entry);
    }
    const auto before = [](const Entry* left, const Entry* right) {
        const int group = left->group.compare(right->group);
        return group != 0 ? group < 0 : left->title < right->title;
    };
    if (std::is_sorted(order.begin(), order.end(), before)) {
        return order;
    }
    std::vector<const SecureString*> groups;
    for (const Entry& entry : entries) {
        if (groups.empty() || *groups.back() != entry.group) {
            groups.push_back(&entry.group);
        }
    }
    std::sort(groups.begin(), groups.end(), [](const auto* left, const auto* right) { return *left < *right; });
    groups.erase(
        std::unique(groups.begin(), groups.end(), [](const auto* left, const auto* right) { return *left == *right; }),
        groups.end());
    struct Sortable
    {
        std::uint64_t number;
        Entry* entry;
    };
    std::vector<Sortable> sortable;
    sortable.reserve(entries.size());
    for (Entry& entry : entries) {
        const auto rank = static_cast<std::uint64_t>(
            std::lower_bound(groups.begin(), groups.end(), &entry.group,
                             [](const auto* left, const auto* right) { return *left < *right; }) -
            groups.begin());
        std::uint64_t number = std::min<std::uint64_t>(rank, 0xFFFF) << 48;
        for (std::size_t unit = 0; unit < 3; ++unit) {
            // One more than the unit, so that a shorter title comes first.
            const std::uint64_t value = unit < entry.title.size() ? entry.title[unit] + 1u : 0u;
            number |= std::min<std::uint64_t>(value, 0xFFFF) << (32 - 16 * unit);
        }
        sortable.push_back({number, &entry});
    }
    std::stable_sort(sortable.begin(), sortable.end(), [&](const Sortable& left, const Sortable& right) {
        return left.number != right.number ? left.number < right.number : before(left.entry, right.entry);
    });
    for (std::size_t i = 0; i < sortable.size(); ++i) {
        order[i] = sortable[i].entry;
    }
    return order;
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

ImportCounts AddOtherExport(CDataBase& database, OtherExport&& read, IdenticalEntries identical)
{
    CEntryImport import(database, identical);
    std::vector<Entry*> taken;
    // Every entry whose group and title are free goes in first, in key order: an export without a group column
    // lists its entries in no order of ours, and a tree filled in order stays in the cache. Then the others in file
    // order, skipped or numbered: equal keys keep their order, so the first of them keeps its title, and a title the
    // file holds as it is ("Bank1") is kept before a number is given to another.
    for (Entry* entry : InKeyOrder(read.entries)) {
        if (!import.AddUnlessTaken(std::move(*entry))) {
            taken.push_back(entry);
        }
    }
    std::sort(taken.begin(), taken.end());
    for (Entry* entry : taken) {
        import.Add(std::move(*entry));
    }
    read.entries.clear();
    return import.Counts();
}
