#include "core/importexport/ImportedEntries.h"

#include <algorithm>
#include <functional>
#include <string_view>

namespace {
constexpr std::size_t MostKeysToLookAt = 64;

std::uint64_t Combine(std::uint64_t hash, const SecureString& text)
{
    const std::size_t part = std::hash<std::u16string_view>{}(std::u16string_view(text.data(), text.size()));
    return hash ^ (part + 0x9E3779B97F4A7C15ULL + (hash << 6) + (hash >> 2));
}

std::uint64_t HashOf(const SecureString& group, const EntryFields& fields)
{
    std::uint64_t hash = Combine(0, group);
    for (const SecureString* text : {&fields.username, &fields.password, &fields.url, &fields.notes}) {
        hash = Combine(hash, *text);
    }
    return hash;
}

std::uint64_t HashOf(const Entry& entry)
{
    std::uint64_t hash = Combine(0, entry.group);
    for (const SecureString* text : {&entry.username, &entry.password, &entry.url, &entry.notes}) {
        hash = Combine(hash, *text);
    }
    return hash;
}

// The title itself, or the title followed by a number as the renaming writes it (no leading zero).
bool IsTitleOrNumbered(const SecureString& held, const SecureString& title)
{
    if (held.size() < title.size() || held.compare(0, title.size(), title) != 0) {
        return false;
    }
    const std::size_t digits = held.size() - title.size();
    if (digits == 0) {
        return true;
    }
    if (held[title.size()] == u'0') {
        return false;
    }
    for (std::size_t i = title.size(); i < held.size(); ++i) {
        if (held[i] < u'0' || held[i] > u'9') {
            return false;
        }
    }
    return true;
}

bool SameFields(const CDataBase::Map::value_type& held, const Entry& entry)
{
    return held.first.group == entry.group && held.second.username == entry.username &&
           held.second.password == entry.password && held.second.url == entry.url && held.second.notes == entry.notes;
}
} // namespace

CIdenticalIndex::CIdenticalIndex(const CDataBase& database)
{
    nodes.reserve(database.Size());
    for (const Node& node : database) {
        Note(node);
    }
}

void CIdenticalIndex::Note(const Node& node)
{
    nodes.emplace(HashOf(node.first.group, node.second), &node);
}

bool CIdenticalIndex::Holds(const Entry& entry) const
{
    const auto [first, last] = nodes.equal_range(HashOf(entry));
    for (auto candidate = first; candidate != last; ++candidate) {
        const Node& held = *candidate->second;
        if (SameFields(held, entry) && IsTitleOrNumbered(held.first.title, entry.title)) {
            return true;
        }
    }
    return false;
}

std::size_t CountIdentical(const CDataBase& database, std::span<const Entry> entries)
{
    const CIdenticalIndex index(database);
    return static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(), [&](const Entry& entry) { return index.Holds(entry); }));
}

CEntryImport::CEntryImport(CDataBase& database, IdenticalEntries identical)
    : database(database)
    , identical(identical)
{}

void CEntryImport::Note(const EntryKey& key)
{
    if (const auto added = database.LowerBound(key); added != database.end() && added->first == key) {
        index->Note(*added);
    }
}

bool CEntryImport::HoldsIdentical(const Entry& entry)
{
    if (index) {
        return index->Holds(entry);
    }
    // The key itself is taken; the numbered titles stand between the title followed by "1" and by ":", the
    // character after "9".
    const auto same = database.LowerBound(entry.Key());
    if (SameFields(*same, entry)) {
        return true;
    }
    EntryKey first{entry.group, entry.title};
    first.title.push_back(u'1');
    EntryKey last{entry.group, entry.title};
    last.title.push_back(u':');
    std::size_t looked = 0;
    for (auto held = database.LowerBound(first); held != database.end() && held->first < last; ++held) {
        if (++looked > MostKeysToLookAt) {
            index.emplace(database);
            return index->Holds(entry);
        }
        if (SameFields(*held, entry) && IsTitleOrNumbered(held->first.title, entry.title)) {
            return true;
        }
    }
    return false;
}

bool CEntryImport::AddUnlessTaken(Entry&& entry)
{
    if (index) {
        // Entries added by this import are compared with the later ones too.
        const EntryKey key = entry.Key();
        if (!database.Insert(std::move(entry))) {
            return false;
        }
        Note(key);
    } else if (!database.Insert(std::move(entry))) {
        return false;
    }
    ++counts.added;
    return true;
}

void CEntryImport::Add(Entry&& entry)
{
    // Taking the strings over is the common case; a refused entry is left whole for the comparison.
    if (AddUnlessTaken(std::move(entry))) {
        return;
    }
    if (identical == IdenticalEntries::Skip && HoldsIdentical(entry)) {
        ++counts.skipped;
        return;
    }
    const auto added = database.AddRenaming(entry.Key(), entry.Fields());
    if (index && added != database.end()) {
        index->Note(*added);
    }
    ++counts.renamed;
}
