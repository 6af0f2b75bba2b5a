#include "core/database/ThreeWayMerge.h"

#include <optional>

namespace {
using Item = CDataBase::const_iterator;

// One key of either side, with its entry on each side (end() where that side has none).
struct KeyOnBothSides
{
    Item theirs;
    Item ours;
};

enum class Decision
{
    KeepOurs,
    TakeTheirs,
    KeepBoth,
};

std::optional<EntryFingerprints::Digest> DigestOf(const EntryFingerprints& base, Item item, Item end)
{
    if (item == end) {
        return std::nullopt;
    }
    return base.DigestOf(item->first, item->second);
}

Decision Decide(const EntryFingerprints& base, const KeyOnBothSides& sides, const CDataBase& theirs,
                const CDataBase& ours)
{
    const bool hasTheirs = sides.theirs != theirs.end();
    const bool hasOurs = sides.ours != ours.end();
    if (hasTheirs && hasOurs && sides.theirs->second == sides.ours->second) {
        return Decision::KeepOurs;
    }
    const EntryKey& key = hasTheirs ? sides.theirs->first : sides.ours->first;
    const std::optional<EntryFingerprints::Digest> before = base.EntryDigest(key);
    const bool theirsChanged = DigestOf(base, sides.theirs, theirs.end()) != before;
    const bool oursChanged = DigestOf(base, sides.ours, ours.end()) != before;
    if (!theirsChanged) {
        return Decision::KeepOurs;
    }
    if (!oursChanged) {
        return Decision::TakeTheirs;
    }
    // Both changed it. A removal on one side yields to the change on the other, so that nothing is lost.
    if (!hasOurs) {
        return Decision::TakeTheirs;
    }
    if (!hasTheirs) {
        return Decision::KeepOurs;
    }
    return Decision::KeepBoth;
}

// Walks the keys of both sides in key order, each key once.
template <class Visit> void ForEachKey(const CDataBase& theirs, const CDataBase& ours, Visit visit)
{
    Item their = theirs.begin();
    Item our = ours.begin();
    while (their != theirs.end() || our != ours.end()) {
        if (our == ours.end() || (their != theirs.end() && their->first < our->first)) {
            visit(KeyOnBothSides{their++, ours.end()});
        } else if (their == theirs.end() || our->first < their->first) {
            visit(KeyOnBothSides{theirs.end(), our++});
        } else {
            visit(KeyOnBothSides{their++, our++});
        }
    }
}
} // namespace

MergeOutcome ThreeWayMerge(const EntryFingerprints& base, const CDataBase& theirs, CDataBase& ours)
{
    // Decided over both sides as they stand, then applied: the collection must not change under the walk.
    std::vector<KeyOnBothSides> taken;
    std::vector<KeyOnBothSides> both;
    ForEachKey(theirs, ours, [&](const KeyOnBothSides& sides) {
        switch (Decide(base, sides, theirs, ours)) {
        case Decision::KeepOurs:
            break;
        case Decision::TakeTheirs:
            taken.push_back(sides);
            break;
        case Decision::KeepBoth:
            both.push_back(sides);
            break;
        }
    });
    MergeOutcome outcome;
    outcome.takenFromTheirs = taken.size();
    std::vector<Entry> oursOfConflicts;
    oursOfConflicts.reserve(both.size());
    for (const KeyOnBothSides& sides : both) {
        oursOfConflicts.push_back(ToEntry(*sides.ours));
    }
    for (const KeyOnBothSides& sides : taken) {
        if (sides.theirs == theirs.end()) {
            ours.Remove(sides.ours->first);
        } else if (sides.ours == ours.end()) {
            ours.Insert(sides.theirs->first, sides.theirs->second);
        } else {
            ours.Replace(sides.theirs->first, sides.theirs->first, sides.theirs->second);
        }
    }
    // Ours are numbered only once every key the merge keeps is in place, so that a number never takes a key that
    // an entry of either side still needed.
    for (const KeyOnBothSides& sides : both) {
        const EntryKey& key = sides.theirs->first;
        ours.Replace(key, key, sides.theirs->second);
    }
    for (const Entry& mine : oursOfConflicts) {
        EntryKey key = mine.Key();
        // Only a title numbered past four thousand million times finds no number; that one entry stays theirs.
        if (const std::optional<std::uint64_t> number = ours.AddRenaming(key, mine.Fields())) {
            EntryKey renamed{key.group, NumberedTitle(key.title, *number)};
            outcome.conflicts.push_back({std::move(key), std::move(renamed)});
        }
    }
    return outcome;
}
