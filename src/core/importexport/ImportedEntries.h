#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <unordered_map>

#include "core/database/DataBase.h"

// What an import did with its entries: added under their own group and title, added with a number after the title
// because the key was taken, or left out because the database already held them.
struct ImportCounts
{
    std::size_t added = 0;
    std::size_t renamed = 0;
    std::size_t skipped = 0;
};

// Whether an import leaves out an entry that the database holds already.
enum class IdenticalEntries
{
    Add,
    Skip,
};

// The entries of a database by their fields apart from the title, to find one an imported entry is identical to:
// the same group, user name, password, URL and notes, and the same title or the title followed by a number (as the
// renaming of an earlier import of it wrote it), so that importing a file again adds nothing.
class CIdenticalIndex
{
public:
    using Node = CDataBase::Map::value_type;

    // Every entry of the database.
    explicit CIdenticalIndex(const CDataBase& database);
    // The entries of [first, last) whose title is `title` followed by a number: those of one crowded title.
    CIdenticalIndex(CDataBase::const_iterator first, CDataBase::const_iterator last, const SecureString& title);
    // An entry added to the database after the index was made.
    void Note(const Node& node);
    bool Holds(const Entry& entry) const;

private:
    std::unordered_multimap<std::uint64_t, const Node*> nodes;
};

// How many of the entries the database holds already.
std::size_t CountIdentical(const CDataBase& database, std::span<const Entry> entries);

// Adds imported entries as every import does: a taken group and title gets a number after the title. With Skip, an
// entry is left out when the database holds one identical to it (see CIdenticalIndex), also one this import added.
class CEntryImport
{
public:
    CEntryImport(CDataBase& database, IdenticalEntries identical);

    // Takes the entry's strings over when it is added under its own key.
    void Add(Entry&& entry);
    // Adds the entry under its own key when that is free, taking its strings over; otherwise leaves it whole and
    // gives false.
    bool AddUnlessTaken(Entry&& entry);
    const ImportCounts& Counts() const { return counts; }

private:
    // Notes an entry this import added in the index of each crowded title it is numbered after.
    void Note(const EntryKey& key);
    void Note(const CIdenticalIndex::Node& node);
    bool HoldsIdentical(const Entry& entry);

    CDataBase& database;
    IdenticalEntries identical;
    ImportCounts counts;
    // By group and title, made only for a title whose neighbouring keys are too many to look at each time
    // (thousands of records with one title): an import otherwise looks at the few keys the renaming could have
    // written. Each holds only the entries numbered after its title, so that no import hashes the whole database.
    std::map<EntryKey, CIdenticalIndex> crowded;
};
