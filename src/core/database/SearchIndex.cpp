#include "core/database/SearchIndex.h"

#include <algorithm>

#include "core/common/CaseFold.h"

std::array<const SecureString*, SearchedFieldCount> SearchedFields(const EntryKey& key, const EntryFields& fields)
{
    return {&key.group, &key.title, &fields.username, &fields.url, &fields.notes};
}

bool MatchesSearch(const EntryKey& key, const EntryFields& fields, std::u16string_view term)
{
    const SecureString foldedTerm = CaseFolded(term);
    const auto searched = SearchedFields(key, fields);
    return std::any_of(searched.begin(), searched.end(), [&foldedTerm](const SecureString* field) {
        return std::u16string_view(CaseFolded(*field)).find(foldedTerm) != std::u16string_view::npos;
    });
}

SearchIndex::SearchIndex(const CDataBase& database)
{
    // One allocation for all the text: growing a buffer of this size step by step costs more than folding it.
    std::size_t length = 0;
    for (const auto& [key, fields] : database) {
        for (const SecureString* text : SearchedFields(key, fields)) {
            length += text->size();
        }
    }
    folded.reserve(length);
    entries.reserve(database.Size());
    for (auto item = database.begin(); item != database.end(); ++item) {
        const auto& [key, fields] = *item;
        IndexedEntry indexed{item, {}};
        std::size_t field = 0;
        for (const SecureString* text : SearchedFields(key, fields)) {
            AppendCaseFolded(*text, folded);
            indexed.fieldEnds[field++] = static_cast<std::uint32_t>(folded.size());
        }
        entries.push_back(indexed);
    }
}

std::size_t SearchIndex::EntryHolding(std::size_t position, std::size_t from) const
{
    // Matches come in increasing positions: the entry is found from the previous one on.
    const auto found =
        std::upper_bound(entries.begin() + static_cast<std::ptrdiff_t>(from), entries.end(), position,
                         [](std::size_t wanted, const IndexedEntry& entry) { return wanted < entry.fieldEnds.back(); });
    return static_cast<std::size_t>(found - entries.begin());
}

bool SearchIndex::WithinOneField(std::size_t entry, std::size_t position, std::size_t length) const
{
    for (const std::uint32_t end : entries[entry].fieldEnds) {
        if (position < end) {
            return position + length <= end;
        }
    }
    return false;
}

std::vector<CDataBase::const_iterator> SearchIndex::Matching(std::u16string_view term) const
{
    std::vector<CDataBase::const_iterator> matching;
    if (term.empty()) {
        matching.reserve(entries.size());
        for (const IndexedEntry& entry : entries) {
            matching.push_back(entry.item);
        }
        return matching;
    }
    const SecureString foldedTerm = CaseFolded(term);
    const std::u16string_view text(folded);
    std::size_t entry = 0;
    std::size_t position = text.find(foldedTerm);
    while (position != std::u16string_view::npos) {
        entry = EntryHolding(position, entry);
        if (WithinOneField(entry, position, foldedTerm.size())) {
            matching.push_back(entries[entry].item);
            // One match is enough: go on with the next entry.
            position = text.find(foldedTerm, entries[entry].fieldEnds.back());
        } else {
            position = text.find(foldedTerm, position + 1);
        }
    }
    return matching;
}
