#pragma once

#include <vector>

#include "core/database/DataBase.h"
#include "core/database/EntryFingerprints.h"

// An entry changed differently on both sides: the other side's version stays under the key, ours went to `ours`.
struct MergeConflict
{
    EntryKey key;
    EntryKey ours;
};

struct MergeOutcome
{
    // Keys whose entry the result takes from the other side (changed, added or removed there).
    std::size_t takenFromTheirs = 0;
    std::vector<MergeConflict> conflicts;
};

// Merges the changes another program made to the file (`theirs`) into our collection (`ours`), both grown from the
// collection whose fingerprints are `base`. Per key: changed on one side only, that side's version wins (a removal
// is a change); changed alike on both, it is kept once; removed on one side and changed on the other, the changed
// entry is kept; changed differently on both, theirs keeps the key and ours is added under the next free numbered
// title, as the importers number a taken title. No entry of either side is ever lost but by a removal on one side
// of an entry the other left as it was.
MergeOutcome ThreeWayMerge(const EntryFingerprints& base, const CDataBase& theirs, CDataBase& ours);
