#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/common/Reporter.h"
#include "core/common/SecureString.h"
#include "core/common/TextSource.h"
#include "core/database/Entry.h"

// The in-memory password database: every entry of the open file, decrypted, in key order, unique by key.
class CDataBase
{
public:
    // Map nodes hold the entries' small-string buffers, so they are wiped on release as well.
    using Map =
        std::map<EntryKey, EntryFields, std::less<EntryKey>, WipingAllocator<std::pair<const EntryKey, EntryFields>>>;
    using const_iterator = Map::const_iterator;

    CDataBase(IMessageReporter& reporter, const ITextSource& texts);
    virtual ~CDataBase() = default;

    CDataBase(const CDataBase&) = delete;
    CDataBase& operator=(const CDataBase&) = delete;

    // Inserts the entry; a taken key is refused with the duplicate message.
    bool Add(const EntryKey& key, const EntryFields& fields);
    // Replaces the entry under oldKey by newKey with the new fields (editing, renaming included).
    bool Replace(const EntryKey& newKey, const EntryKey& oldKey, const EntryFields& fields);
    std::size_t Remove(const EntryKey& key);
    std::optional<Entry> Find(const EntryKey& key) const;
    // Inserts under the key, or under the title followed by 1, 2, 3 ... when the key is taken. Silent. Gives the
    // number put after the title (0: none), or nullopt when every number was taken and the entry dropped.
    std::optional<std::uint64_t> AddRenaming(const EntryKey& key, const EntryFields& fields);
    // Inserts unless the key is taken; the existing entry stays. Used by the file reader.
    bool Insert(const EntryKey& key, const EntryFields& fields);
    // The same, taking the entry's strings over; a refused entry is left as it was.
    bool Insert(Entry&& entry);
    void Clear();
    // Exchanges the entries with `other`, as a new version of the file replaces the collection; both count as
    // changed throughout, as after Clear.
    void SwapEntries(CDataBase& other);

    // The entry at 1-based position (command - base) in key order, if there is one.
    std::optional<Entry> EntryAt(std::uint32_t command, std::uint32_t base) const;
    // Appends each entry's group, in key order, unless the list already holds it.
    void CollectGroups(std::vector<std::u16string>& groups) const;

    std::size_t Size() const { return entries.size(); }
    bool Empty() const { return entries.empty(); }
    const_iterator begin() const { return entries.begin(); }
    const_iterator end() const { return entries.end(); }
    // The first entry whose key is not less than `key`.
    const_iterator LowerBound(const EntryKey& key) const { return entries.lower_bound(key); }

    // The smallest key that any change since ForgetChanges touched (added, replaced, removed), nullopt when nothing
    // changed; after Clear, the smallest key there is. Every record before it is written to the file as before.
    const std::optional<EntryKey>& FirstChangedKey() const { return firstChanged; }
    void ForgetChanges() { firstChanged.reset(); }

    IMessageReporter& Reporter() const { return reporter; }
    const ITextSource& Texts() const { return texts; }

private:
    // Called by every change that can free a key.
    void ForgetRenamingNumbers() { firstNumberToTry.clear(); }
    void NoteChange(const EntryKey& key);

    IMessageReporter& reporter;
    const ITextSource& texts;
    Map entries;
    std::optional<EntryKey> firstChanged;
    // For each key AddRenaming had to number: the number to try first next time. Every number below it was taken,
    // and stays taken until a key is removed, so a run of equal keys does not search from 1 for every record.
    std::map<EntryKey, std::uint64_t, std::less<EntryKey>, WipingAllocator<std::pair<const EntryKey, std::uint64_t>>>
        firstNumberToTry;
};

// The title AddRenaming gives an entry for the number it put after it (0: the title as it is).
SecureString NumberedTitle(const SecureString& title, std::uint64_t number);

inline Entry ToEntry(const CDataBase::Map::value_type& item)
{
    return Entry(item.first, item.second);
}
