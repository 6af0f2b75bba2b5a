#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "core/database/DataBase.h"
#include "core/importexport/ExportPresets.h"
#include "core/importexport/ImportedEntries.h"

// The entries of another program's CSV export, read and mapped but not yet added.
struct OtherExport
{
    ExportSource source = ExportSource::Lockmere;
    // In the order they are added (see ImportKeyOrder) when `records` is filled, in the order of the file otherwise.
    // Wiped on release: a short value lives inside the entry itself, in the vector's own storage.
    std::vector<Entry, WipingAllocator<Entry>> entries;
    // For each entry, the number of its record in the file, when the entries are in the order they are added.
    std::vector<std::uint32_t> records;
};

// The first `count` entries in the order of the file, as a preview shows them.
std::vector<const Entry*> FirstEntriesOfFile(const OtherExport& read, std::size_t count);

// Reads an export; the preset is one of CExportPreset::Names() or, for "auto", the one whose header the file's first
// line is (our own CSV export included, written in any language the program has). Reports a refused file through the
// collection's reporter, naming the line where the problem stands, and gives nothing. The collection itself is not
// changed.
std::optional<OtherExport> ReadOtherExport(const CDataBase& database, std::string_view bytes,
                                           std::string_view presetName);
// The same for a file; the message names the file too.
std::optional<OtherExport> ReadOtherExportFile(const CDataBase& database, const std::filesystem::path& path,
                                               std::string_view presetName);

// Adds the entries as every import does: a taken group and title gets a number after the title, and with Skip an
// entry the database holds already is left out.
ImportCounts AddOtherExport(CDataBase& database, OtherExport&& read, IdenticalEntries identical);
