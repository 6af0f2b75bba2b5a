#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include "core/common/SecureString.h"
#include "core/common/TextSource.h"
#include "core/database/DataBase.h"

// What a synchronize did: entries only the other file had were added, entries equal in all six fields were
// skipped, and for a key both hold with different fields both were kept, the other file's under `keptBoth`.
struct SyncSummary
{
    std::size_t added = 0;
    std::size_t identical = 0;
    std::vector<EntryKey> keptBoth;
};

// Adds the counts and entries of `more`, for a synchronize with several files.
void Accumulate(SyncSummary& summary, SyncSummary more);
// What the user is told: the counts, then the entries kept twice.
std::u16string SyncSummaryText(const SyncSummary& summary, const ITextSource& texts);

// Pours `other` into `into`: nothing of `into` changes or goes, and nothing of `other` is lost.
SyncSummary Synchronize(CDataBase& into, const CDataBase& other);

// Reads the file under its own password and synchronizes it into the collection. Gives the reader's result; a
// failure has been reported and leaves the collection as it was. A damaged file gives its whole records.
int SynchronizeFile(CDataBase& into, const std::filesystem::path& path, const SecureString& password,
                    SyncSummary& summary);
