#include "core/importexport/OtherExport.h"

#include <string>

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/FieldNames.h"
#include "core/importexport/ImportFile.h"
#include "core/importexport/StandardCsv.h"
#include "core/settings/BuiltinTexts.h"

namespace {
constexpr std::string_view AutoPreset = "auto";
constexpr char16_t ByteOrderMark = u'\uFEFF';

// A reported refusal: the described reader has shown its message already.
struct AlreadyReported
{};

// The decoded file, wiped when the reading ends, as it holds the file's secrets.
class DecodedExport
{
public:
    explicit DecodedExport(std::string_view bytes)
    {
        std::optional<std::u16string> decoded = DecodeUtf8Strict(bytes);
        if (!decoded) {
            throw ImportRefusal{NotUtf8Message};
        }
        text = std::move(*decoded);
    }
    ~DecodedExport() { WipeString(text); }
    DecodedExport(const DecodedExport&) = delete;
    DecodedExport& operator=(const DecodedExport&) = delete;

    std::u16string_view View() const
    {
        std::u16string_view view = text;
        if (!view.empty() && view.front() == ByteOrderMark) {
            view.remove_prefix(1);
        }
        return view;
    }

private:
    std::u16string text;
};

// Entries cannot hold a NUL or the database's field terminator: the saved file would cut them short.
bool HoldsForbiddenCharacters(std::u16string_view text)
{
    return text.find(u'\0') != std::u16string_view::npos || text.find(FieldTerminatorView) != std::u16string_view::npos;
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

// Our own export with its header and all six fields, in the user's language or in English.
bool IsOwnExport(std::u16string_view text, const ITextSource& texts)
{
    const std::vector<std::u16string_view> names = QuotedNamesOfFirstLine(text);
    if (names.size() != EntryFieldCount) {
        return false;
    }
    for (int field = 0; field < EntryFieldCount; ++field) {
        const int id = FieldNameTextId(static_cast<EntryField>(field));
        if (names[field] != texts.Text(id) && names[field] != BuiltinText(id)) {
            return false;
        }
    }
    return true;
}

OtherExport ReadOwnExport(const CDataBase& database, std::string_view bytes)
{
    CDataBase scratch(database.Reporter(), database.Texts());
    CsvImportOptions options;
    options.header = true;
    if (!ImportCsvBytes(scratch, bytes, options)) {
        throw AlreadyReported{};
    }
    OtherExport read;
    read.entries.reserve(scratch.Size());
    for (const auto& item : scratch) {
        read.entries.push_back(ToEntry(item));
    }
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
std::u16string UnknownHeaderMessage(const ITextSource& texts, std::span<const CExportPreset::Layout> candidates)
{
    std::u16string message = texts.Text(TextId::UnknownExportHeader);
    for (const CExportPreset::Layout& layout : candidates) {
        message += u"\n";
        message += layout.header;
    }
    if (candidates.size() > 1) {
        message += u"\n" + OwnHeader(texts);
    }
    return message;
}

CExportPreset PresetFor(std::span<const SecureString> header, std::span<const CExportPreset::Layout> candidates,
                        const ITextSource& texts)
{
    for (const CExportPreset::Layout& layout : candidates) {
        if (std::optional<CExportPreset> preset = CExportPreset::ForHeader(layout, header)) {
            return *preset;
        }
    }
    throw ImportRefusal{UnknownHeaderMessage(texts, candidates)};
}

OtherExport ReadStandardExport(std::u16string_view text, std::span<const CExportPreset::Layout> candidates,
                               const ITextSource& texts)
{
    OtherExport read;
    std::optional<CExportPreset> preset;
    const std::u16string& defaultGroup = texts.Text(TextId::Import);
    try {
        ReadStandardCsv(text, [&](std::span<SecureString> fields, std::size_t) {
            if (!preset) {
                preset = PresetFor(fields, candidates, texts);
                read.source = preset->Of().source;
                return;
            }
            if (std::optional<Entry> entry = preset->EntryOf(fields, defaultGroup)) {
                read.entries.push_back(std::move(*entry));
            } else {
                ++read.skipped;
            }
        });
    } catch (const StandardCsvBrokenQuote& broken) {
        const std::string line = std::to_string(broken.line);
        throw ImportRefusal{texts.Text(TextId::BrokenQuoteBeforeLine) + u" " +
                            std::u16string(line.begin(), line.end()) + texts.Text(TextId::BrokenQuoteAfterLine)};
    }
    if (!preset) {
        throw ImportRefusal{UnknownHeaderMessage(texts, candidates)};
    }
    return read;
}

OtherExport Read(const CDataBase& database, std::string_view bytes, std::string_view presetName)
{
    const ITextSource& texts = database.Texts();
    const DecodedExport decoded(bytes);
    const std::u16string_view text = decoded.View();
    if (HoldsForbiddenCharacters(text)) {
        throw ImportRefusal{texts.Text(TextId::InvalidCharacters)};
    }
    if (presetName == AutoPreset) {
        if (IsOwnExport(text, texts)) {
            return ReadOwnExport(database, bytes);
        }
        return ReadStandardExport(text, CExportPreset::Layouts(), texts);
    }
    const CExportPreset::Layout* layout = CExportPreset::Named(presetName);
    if (layout == nullptr) {
        throw std::invalid_argument("unknown preset");
    }
    return ReadStandardExport(text, {layout, 1}, texts);
}

template <class Operation> std::optional<OtherExport> RunRead(const CDataBase& database, Operation&& operation)
{
    IMessageReporter& reporter = database.Reporter();
    try {
        return operation();
    } catch (const AlreadyReported&) {
    } catch (...) {
        ReportImportFailure(reporter);
    }
    return std::nullopt;
}
} // namespace

std::optional<OtherExport> ReadOtherExport(const CDataBase& database, std::string_view bytes,
                                           std::string_view presetName)
{
    return RunRead(database, [&] { return Read(database, bytes, presetName); });
}

std::optional<OtherExport> ReadOtherExportFile(const CDataBase& database, const std::filesystem::path& path,
                                               std::string_view presetName)
{
    return RunRead(database, [&] {
        const SecureBytes bytes = ReadImportFile(path);
        return Read(database, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, presetName);
    });
}

ImportCounts AddOtherExport(CDataBase& database, OtherExport&& read)
{
    ImportCounts counts;
    counts.skipped = read.skipped;
    for (Entry& entry : read.entries) {
        // Taking the strings over is the common case; a refused entry is left whole for the renaming.
        if (database.Insert(std::move(entry))) {
            ++counts.added;
        } else {
            database.AddRenaming(entry.Key(), entry.Fields());
            ++counts.renamed;
        }
    }
    read.entries.clear();
    return counts;
}
