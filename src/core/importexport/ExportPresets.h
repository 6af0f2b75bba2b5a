#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/common/SecureString.h"
#include "core/database/Entry.h"

// The programs whose CSV exports the import knows. Lockmere is our own CSV export, read by the described reader.
enum class ExportSource
{
    KeePassXC,
    Chrome,
    Firefox,
    Bitwarden,
    OnePassword,
    Lockmere,
};

// How one program's export maps onto the six entry fields, recognised from its header line.
class CExportPreset
{
public:
    struct Layout
    {
        ExportSource source;
        std::string_view name;      // as the user names it, e.g. on the command line
        std::u16string_view header; // the header line the program writes, shown when a header is unknown
        std::u16string_view
            columns[EntryFieldCount];   // group, title, username, password, url, notes; empty: not in the file
        std::u16string_view fixedGroup; // the group of every entry when there is no group column
        std::u16string_view typeColumn; // a column whose value must be typeValue, or the record is skipped
        std::u16string_view typeValue;
        bool titleFromUrlHost = false; // no title column: the host of the URL names the entry
    };

    // Every preset for a standard CSV file, in the order in which a header is tried.
    static std::span<const Layout> Layouts();
    static const Layout* Named(std::string_view name);

    // The preset for this header, or nothing when a column it needs is missing.
    static std::optional<CExportPreset> ForHeader(const Layout& layout, std::span<const SecureString> header);

    // The entry of a record; nothing when the record is of a kind that is not imported. Columns the six fields do
    // not take go into the notes, one labelled line each, so that nothing of the file is lost.
    std::optional<Entry> EntryOf(std::span<SecureString> record, std::u16string_view defaultGroup) const;

    const Layout& Of() const { return *layout; }

private:
    CExportPreset(const Layout& layout, std::span<const SecureString> header);

    const Layout* layout;
    std::vector<SecureString> header;
    int fieldColumn[EntryFieldCount]{-1, -1, -1, -1, -1, -1};
    int typeColumn = -1;
};
