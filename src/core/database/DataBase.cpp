#include "core/database/DataBase.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

#include "core/common/Utf.h"
#include "core/settings/BuiltinTexts.h"

namespace {
const std::u16string MatchNotFoundMessage = u"Error. Match is not found for the key.";

// The renaming counter gives up here, as a 32-bit counter would before wrapping.
constexpr std::uint64_t LastRenamingNumber = 4294967294ULL;
} // namespace

SecureString NumberedTitle(const SecureString& title, std::uint64_t number)
{
    SecureString numbered = title;
    if (number != 0) {
        const std::u16string suffix = ToU16(number);
        numbered.append(suffix.begin(), suffix.end());
    }
    return numbered;
}

CDataBase::CDataBase(IMessageReporter& reporter, const ITextSource& texts)
    : reporter(reporter)
    , texts(texts)
{}

bool CDataBase::Add(const EntryKey& key, const EntryFields& fields)
{
    if (!Insert(key, fields)) {
        reporter.ShowMessage(texts.Text(TextId::DuplicateEntry), MessageIcon::Warning);
        return false;
    }
    return true;
}

bool CDataBase::Replace(const EntryKey& newKey, const EntryKey& oldKey, const EntryFields& fields)
{
    auto old = entries.find(oldKey);
    if (old == entries.end()) {
        reporter.ShowMessage(MatchNotFoundMessage, MessageIcon::Warning);
        return false;
    }
    if (!(newKey == oldKey) && entries.contains(newKey)) {
        reporter.ShowMessage(texts.Text(TextId::DuplicateEntry), MessageIcon::Warning);
        return false;
    }
    NoteChange(std::min(oldKey, newKey));
    entries.erase(old);
    ForgetRenamingNumbers();
    return entries.emplace(newKey, fields).second;
}

std::size_t CDataBase::Remove(const EntryKey& key)
{
    ForgetRenamingNumbers();
    NoteChange(key);
    return entries.erase(key);
}

std::optional<Entry> CDataBase::Find(const EntryKey& key) const
{
    auto found = entries.find(key);
    if (found == entries.end()) {
        return std::nullopt;
    }
    return ToEntry(*found);
}

std::optional<std::uint64_t> CDataBase::AddRenaming(const EntryKey& key, const EntryFields& fields)
{
    if (Insert(key, fields)) {
        return 0;
    }
    std::uint64_t& first = firstNumberToTry.try_emplace(key, 1).first->second;
    EntryKey numbered{key.group, {}};
    for (std::uint64_t number = first; number <= LastRenamingNumber; ++number) {
        numbered.title = NumberedTitle(key.title, number);
        if (Insert(numbered, fields)) {
            first = number + 1;
            return number;
        }
    }
    first = LastRenamingNumber + 1;
    return std::nullopt;
}

bool CDataBase::Insert(const EntryKey& key, const EntryFields& fields)
{
    if (!entries.try_emplace(key, fields).second) {
        return false;
    }
    NoteChange(key);
    return true;
}

bool CDataBase::Insert(Entry&& entry)
{
    EntryKey key{std::move(entry.group), std::move(entry.title)};
    // Files hold their records in key order: one that comes after the last entry goes to the end without a search.
    auto position = entries.end();
    if (!entries.empty() && !(std::prev(entries.end())->first < key)) {
        position = entries.lower_bound(key);
        if (position != entries.end() && position->first == key) {
            entry.group = std::move(key.group);
            entry.title = std::move(key.title);
            return false;
        }
    }
    NoteChange(key);
    entries.emplace_hint(position, std::move(key),
                         EntryFields{std::move(entry.username), std::move(entry.password), std::move(entry.url),
                                     std::move(entry.notes)});
    return true;
}

void CDataBase::Clear()
{
    ForgetRenamingNumbers();
    entries.clear();
    firstChanged = EntryKey{};
}

void CDataBase::SwapEntries(CDataBase& other)
{
    entries.swap(other.entries);
    for (CDataBase* side : {this, &other}) {
        side->ForgetRenamingNumbers();
        side->firstChanged = EntryKey{};
    }
}

void CDataBase::NoteChange(const EntryKey& key)
{
    if (!firstChanged || key < *firstChanged) {
        firstChanged = key;
    }
}

std::optional<Entry> CDataBase::EntryAt(std::uint32_t command, std::uint32_t base) const
{
    if (command <= base || command - base > entries.size()) {
        return std::nullopt;
    }
    return ToEntry(*std::next(entries.begin(), static_cast<std::ptrdiff_t>(command - base - 1)));
}

void CDataBase::CollectGroups(std::vector<std::u16string>& groups) const
{
    // Key order keeps each group's entries together, and the first key after a group's last entry is the least key
    // of the group followed by a NUL: one look-up per group, whatever the number of entries.
    std::unordered_set<std::u16string> listed(groups.begin(), groups.end());
    for (auto item = entries.begin(); item != entries.end();
         item = entries.lower_bound(EntryKey{item->first.group + u'\0', SecureString()})) {
        std::u16string group = FromSecure(item->first.group);
        if (listed.insert(group).second) {
            groups.push_back(std::move(group));
        }
    }
}
