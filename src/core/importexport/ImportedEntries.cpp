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

// The index tells apart by the short fields only: hashing the notes and the address of every entry of a large
// database (an export's notes can run to many lines) cost more than the whole rest of an import, and a password with
// its user name in its group is all but unique already. The comparison of the candidates checks every field.
std::uint64_t HashOf(const SecureString& group, const SecureString& username, const SecureString& password)
{
    return Combine(Combine(Combine(0, group), username), password);
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

CIdenticalIndex::CIdenticalIndex(CDataBase::const_iterator first, CDataBase::const_iterator last,
                                 const SecureString& title)
{
    for (auto held = first; held != last; ++held) {
        if (IsTitleOrNumbered(held->first.title, title)) {
            Note(*held);
        }
    }
}

void CIdenticalIndex::Note(const Node& node)
{
    nodes.emplace(HashOf(node.first.group, node.second.username, node.second.password), &node);
}

bool CIdenticalIndex::Holds(const Entry& entry) const
{
    const auto [first, last] = nodes.equal_range(HashOf(entry.group, entry.username, entry.password));
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
        Note(*added);
    }
}

void CEntryImport::Note(const CIdenticalIndex::Node& node)
{
    // The titles it could be numbered after: itself without none, one, two ... of its trailing digits.
    const SecureString& title = node.first.title;
    EntryKey base{node.first.group, title};
    for (std::size_t length = title.size();; --length) {
        base.title.resize(length);
        if (const auto index = crowded.find(base);
            index != crowded.end() && IsTitleOrNumbered(title, index->first.title)) {
            index->second.Note(node);
        }
        if (length == 0 || title[length - 1] < u'0' || title[length - 1] > u'9') {
            return;
        }
    }
}

bool CEntryImport::HoldsIdentical(const Entry& entry)
{
    // The key itself is taken.
    if (SameFields(*database.LowerBound(entry.Key()), entry)) {
        return true;
    }
    const EntryKey key = entry.Key();
    if (const auto index = crowded.find(key); index != crowded.end()) {
        return index->second.Holds(entry);
    }
    // The numbered titles stand between the title followed by "1" and by ":", the character after "9".
    EntryKey first = key;
    first.title.push_back(u'1');
    EntryKey last = key;
    last.title.push_back(u':');
    const auto begin = database.LowerBound(first);
    const auto end = database.LowerBound(last);
    std::size_t looked = 0;
    for (auto held = begin; held != end; ++held) {
        if (++looked > MostKeysToLookAt) {
            return crowded.try_emplace(key, begin, end, key.title).first->second.Holds(entry);
        }
        if (SameFields(*held, entry) && IsTitleOrNumbered(held->first.title, entry.title)) {
            return true;
        }
    }
    return false;
}

bool CEntryImport::AddUnlessTaken(Entry&& entry)
{
    if (!crowded.empty()) {
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
    const std::optional<std::uint64_t> number = database.AddRenaming(entry.Key(), entry.Fields());
    if (!crowded.empty() && number) {
        Note(EntryKey{entry.group, NumberedTitle(entry.title, *number)});
    }
    ++counts.renamed;
}
