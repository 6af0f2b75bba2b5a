#include "core/database/Synchronize.h"

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/BuiltinTexts.h"

namespace {
void ReplacePlaceholder(std::u16string& text, std::u16string_view placeholder, std::size_t number)
{
    if (const auto at = text.find(placeholder); at != std::u16string::npos) {
        text.replace(at, placeholder.size(), ToU16(number));
    }
}
} // namespace

void Accumulate(SyncSummary& summary, SyncSummary more)
{
    summary.added += more.added;
    summary.identical += more.identical;
    for (EntryKey& key : more.keptBoth) {
        summary.keptBoth.push_back(std::move(key));
    }
}

std::u16string SyncSummaryText(const SyncSummary& summary, const ITextSource& texts)
{
    std::u16string text = texts.Text(TextId::SyncSummary);
    ReplacePlaceholder(text, u"%1", summary.added);
    ReplacePlaceholder(text, u"%2", summary.identical);
    ReplacePlaceholder(text, u"%3", summary.keptBoth.size());
    if (!summary.keptBoth.empty()) {
        text += u"\n\n" + texts.Text(TextId::SyncKeptBothList);
        for (const EntryKey& key : summary.keptBoth) {
            text += u"\n" + FromSecure(key.group) + u" / " + FromSecure(key.title);
        }
    }
    return text;
}

SyncSummary Synchronize(CDataBase& into, const CDataBase& other)
{
    SyncSummary summary;
    for (const auto& [key, fields] : other) {
        const auto mine = into.LowerBound(key);
        if (mine == into.end() || !(mine->first == key)) {
            into.Insert(key, fields);
            ++summary.added;
        } else if (mine->second == fields) {
            ++summary.identical;
        } else if (const std::optional<std::uint64_t> number = into.AddRenaming(key, fields)) {
            summary.keptBoth.push_back({key.group, NumberedTitle(key.title, *number)});
        }
    }
    return summary;
}

int SynchronizeFile(CDataBase& into, const std::filesystem::path& path, const SecureString& password,
                    SyncSummary& summary)
{
    CDataBase other(into.Reporter(), into.Texts());
    const int result = ReadDatabase(other, path, password);
    if (result == ReadResult::Done) {
        summary = Synchronize(into, other);
    }
    return result;
}
