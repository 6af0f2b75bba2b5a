#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/database/DataBase.h"

// The fields a search looks in: group, title, user name, URL/path and notes. The password is never searched: a
// search must not tell which entries hold a guessed secret.
inline constexpr std::size_t SearchedFieldCount = 5;
std::array<const SecureString*, SearchedFieldCount> SearchedFields(const EntryKey& key, const EntryFields& fields);

// Whether one entry's searched fields contain the term, ignoring case: for a single pass over a collection.
bool MatchesSearch(const EntryKey& key, const EntryFields& fields, std::u16string_view term);

// Finds the entries whose searched fields contain a term, ignoring case. The fields are folded once, so that every
// further term costs one pass over them; the index points into the collection and is built anew after the
// collection changes.
class SearchIndex
{
public:
    explicit SearchIndex(const CDataBase& database);

    // The matching entries in key order; every entry for an empty term.
    std::vector<CDataBase::const_iterator> Matching(std::u16string_view term) const;

private:
    struct IndexedEntry
    {
        CDataBase::const_iterator item;
        // Where each searched field ends in `folded`; the entry's first field starts where the entry before ends.
        std::array<std::uint32_t, SearchedFieldCount> fieldEnds;
    };

    std::size_t EntryHolding(std::size_t position, std::size_t from) const;
    bool WithinOneField(std::size_t entry, std::size_t position, std::size_t length) const;

    // The folded searched fields of every entry, one after another without separators: a match is only counted
    // when it lies within one field, so no character of the stored text can join two fields.
    SecureString folded;
    std::vector<IndexedEntry> entries;
};
