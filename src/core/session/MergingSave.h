#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/database/EntryFingerprints.h"
#include "core/database/ThreeWayMerge.h"
#include "core/session/FileVersionRead.h"

// The three-way merge of a save that found the file replaced by another program since it was read or written:
// the fingerprints of the collection as it was then (the base), the version now in the file (theirs), and the
// collection with the user's change (ours). The session owns one; it takes the base before every change.
class MergingSave
{
public:
    // Before a change: the collection is still what the file held, so it becomes the base, unless one is kept.
    void TakeBase(const CDataBase& database);
    bool HasBase() const { return base.has_value(); }
    // The collection was replaced as a whole (opened, closed, locked, followed): the next change takes a new base.
    void ForgetBase();
    // A save without a merge wrote the collection: the base follows the entries under these keys (all of them when
    // nullopt).
    void Saved(const CDataBase& database, const std::optional<std::vector<EntryKey>>& touched);

    // Reads the version now at `path` under `password`; on Read, merges it into `ours` and makes it the base. The
    // user is told nothing here: `RefusalText` says why a version that was not read cannot be merged.
    FileVersionRead::Outcome ReadTheirs(const std::filesystem::path& path, const SecureString& password,
                                        const ITextSource& texts);
    // The version just read, merged into `ours`; the views must let go of their rows first.
    void MergeInto(CDataBase& ours);
    const std::optional<FileVersion>& TheirVersion() const;
    std::u16string RefusalText(FileVersionRead::Outcome outcome) const;

    // Whether this save merged; its conflicts so far.
    bool Merged() const { return merged; }
    const std::vector<MergeConflict>& Conflicts() const { return conflicts; }
    // After the save: a failed merged save puts the last version read back into the collection, which is then what
    // the file holds; the user's change is undone with it. Either way the save's state is dropped.
    void Finish(bool saved, CDataBase& ours);

private:
    std::optional<EntryFingerprints> base;
    std::unique_ptr<FileVersionRead> theirs;
    bool merged = false;
    std::vector<MergeConflict> conflicts;
};

// The message that tells which entries a merge kept twice; empty when there were none.
std::u16string ConflictReport(const std::vector<MergeConflict>& conflicts, const ITextSource& texts);
