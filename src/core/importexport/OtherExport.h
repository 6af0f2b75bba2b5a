#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "core/database/DataBase.h"
#include "core/importexport/ExportPresets.h"

// The entries of another program's CSV export, read and mapped but not yet added.
struct OtherExport
{
    ExportSource source = ExportSource::Lockmere;
    // Wiped on release: a short value lives inside the entry itself, in the vector's own storage.
    std::vector<Entry, WipingAllocator<Entry>> entries;
    // Records of a kind that is not imported (Bitwarden's cards, notes and identities).
    std::size_t skipped = 0;
};

// What adding the entries did.
struct ImportCounts
{
    std::size_t added = 0;
    std::size_t renamed = 0;
    std::size_t skipped = 0;
};

// Reads an export; the preset is the one named ("keepassxc", "chrome", "firefox", "bitwarden", "1password") or, for
// "auto", the one whose header the file's first line is (our own CSV export included). Reports a refused file through
// the collection's reporter and gives nothing. The collection itself is not changed.
std::optional<OtherExport> ReadOtherExport(const CDataBase& database, std::string_view bytes,
                                           std::string_view presetName);
std::optional<OtherExport> ReadOtherExportFile(const CDataBase& database, const std::filesystem::path& path,
                                               std::string_view presetName);

// Adds the entries as every import does: a taken group and title gets a number after the title.
ImportCounts AddOtherExport(CDataBase& database, OtherExport&& read);
