#pragma once

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/common/SecureString.h"
#include "core/database/Entry.h"

// What the collection should hold after each change, kept apart from CDataBase and written out apart from the
// writer: the reference that every file a save leaves behind is compared with, byte for byte.
class ExpectedEntries
{
public:
    using Key = std::pair<std::u16string, std::u16string>;
    using Fields = std::array<std::u16string, 4>;

    static Key KeyOf(const EntryKey& key);
    static Fields FieldsOf(const EntryFields& fields);
    // Whether a save can write the entry: no field holds the field terminator or a NUL.
    static bool Storable(const Key& key, const Fields& fields);

    // Each gives whether the collection takes the change; a refused one changes nothing.
    bool Add(const Key& key, const Fields& fields);
    bool Replace(const Key& oldKey, const Key& newKey, const Fields& fields);
    void Remove(const Key& key);
    // As an import inserts: under the title followed by 1, 2, 3 ... when the key is taken.
    void AddRenaming(const Key& key, const Fields& fields);
    // As the file reader inserts: the first record of a key stays.
    void Insert(const Key& key, const Fields& fields) { entries.try_emplace(key, fields); }
    void Clear() { entries.clear(); }

    std::size_t Size() const { return entries.size(); }
    bool Contains(const Key& key) const { return entries.contains(key); }
    const Key& KeyAt(std::size_t index) const;
    std::vector<Entry> Entries() const;

    // Every record in key order, six fields each followed by the terminator.
    std::u16string Text() const;
    // The whole file a save of these entries writes: both cipher layers over the text, encrypted in one go.
    std::string File(const SecureString& password) const;

private:
    std::map<Key, Fields> entries;
};

// One record of a text: six fields, each followed by the terminator.
std::u16string RecordText(const ExpectedEntries::Key& key, const ExpectedEntries::Fields& fields);
