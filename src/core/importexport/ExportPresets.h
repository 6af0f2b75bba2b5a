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
    LastPass,
    ApplePasswords,
    Dashlane,
    ProtonPass,
    Lockmere,
};

// How a column without an entry field of its own goes into the notes.
enum class NoteValue
{
    AsWritten,
    // Seconds or milliseconds since 1970, written as an ISO 8601 date in UTC.
    EpochTime,
    // An address left out when it is the origin (scheme, host and port) of the entry's URL.
    OriginOfUrl,
};

// A column that goes into the notes only when it tells something: a value equal to one of the defaults, or to the
// value of the column named `sameAs` (a change time equal to the creation time), is left out.
struct NoteColumn
{
    std::u16string_view name{};
    std::u16string_view defaults[2]{};
    NoteValue kind = NoteValue::AsWritten;
    std::u16string_view sameAs{};
};

// How one program's export maps onto the six entry fields, recognised from its header line.
class CExportPreset
{
public:
    struct Layout
    {
        ExportSource source = ExportSource::Lockmere;
        std::string_view name{};      // as the user names it, e.g. on the command line
        std::u16string_view header{}; // the header line the program writes, shown when a header is unknown
        // Group, title, username, password, url, notes; empty: not in the file.
        std::u16string_view columns[EntryFieldCount]{};
        std::u16string_view fixedGroup{};          // the group of every entry when there is no group column
        std::span<const NoteColumn> noteColumns{}; // columns whose default values are left out of the notes
        unsigned optionalFields = 0;               // bit per entry field whose column older versions do not write
        bool groupIsFirstListItem = false;         // the group column lists several, comma-separated: take the first
        bool titleFromUrlHost = false;             // no title column: the host of the URL names the entry
        std::u16string_view usernameFallback{};    // a column that gives the user name when its own is empty
        std::u16string_view placeholderUrl{};      // a URL the program writes for entries that have none
    };

    // Every preset for a standard CSV file, in the order in which the formats are listed.
    static std::span<const Layout> Layouts();
    // The presets of one program (some write more than one kind of export); empty for an unknown name.
    static std::span<const Layout> Named(std::string_view name);
    // The names a user may give, in the order of Layouts, each once.
    static std::vector<std::string_view> Names();

    // Of the candidates whose needed columns the header has, the one that knows most of its columns; nothing when
    // none fits.
    static std::optional<CExportPreset> ForHeader(std::span<const Layout> candidates,
                                                  std::span<const SecureString> header);

    // The entry of a record. Columns the six fields do not take go into the notes, one labelled line each, unless
    // they are empty or hold a default value, so that nothing of the file that tells something is lost.
    Entry EntryOf(std::span<SecureString> record, std::u16string_view defaultGroup) const;

    // The group and title EntryOf gives the record, without taking its strings: an import sorts its records by them
    // before it makes their entries.
    struct KeyView
    {
        std::u16string_view group;
        std::u16string_view title;
    };
    KeyView KeyOf(std::span<const SecureString> record, std::u16string_view defaultGroup) const;
    // For each column of the header, whether KeyOf looks at it.
    std::vector<bool> KeyColumns() const;

    const Layout& Of() const { return *layout; }

private:
    CExportPreset(const Layout& layout, std::span<const SecureString> header);
    bool HasNeededColumns() const;
    std::size_t KnownColumns() const;
    void AppendNotes(Entry& entry, std::span<SecureString> record) const;
    // Whether the value of the column goes into the notes.
    bool KeepForNotes(std::size_t column, std::span<const SecureString> record, const Entry& entry) const;
    // The column's name in the header, or its number for a value beyond the header's last column (made in the
    // buffer given).
    std::u16string_view NoteLabel(std::size_t column, std::u16string& beyondHeader) const;
    const NoteColumn* NoteRule(std::size_t column) const;
    bool TellsNothing(std::size_t column, std::span<const SecureString> record, const Entry& entry) const;

    const Layout* layout;
    std::vector<SecureString> header;
    int fieldColumn[EntryFieldCount]{-1, -1, -1, -1, -1, -1};
    int usernameFallbackColumn = -1;
    // For each column of the header: the rule of a note column, or nullptr.
    std::vector<const NoteColumn*> noteRules;
    // For each column of the header: the column whose value it repeats when it tells nothing, or -1.
    std::vector<int> sameAsColumns;
    // For each column: true when an entry field takes it.
    std::vector<bool> taken;
};
