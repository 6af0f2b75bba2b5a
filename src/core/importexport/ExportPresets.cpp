#include "core/importexport/ExportPresets.h"

#include <algorithm>
#include <string>

#include "core/importexport/NoteLines.h"

namespace {
using Layout = CExportPreset::Layout;

constexpr Layout PresetLayouts[] = {
    {ExportSource::KeePassXC,
     "keepassxc",
     u"\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\",\"Created\"",
     {u"Group", u"Title", u"Username", u"Password", u"URL", u"Notes"},
     {},
     {},
     {}},
    {ExportSource::Bitwarden,
     "bitwarden",
     u"folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp",
     {u"folder", u"name", u"login_username", u"login_password", u"login_uri", u"notes"},
     {},
     u"type",
     u"login"},
    {ExportSource::Chrome,
     "chrome",
     u"name,url,username,password,note",
     {{}, u"name", u"username", u"password", u"url", u"note"},
     u"Browser",
     {},
     {}},
    {ExportSource::Firefox,
     "firefox",
     u"\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\","
     u"\"timeLastUsed\",\"timePasswordChanged\"",
     {{}, {}, u"username", u"password", u"url", {}},
     u"Browser",
     {},
     {},
     true},
    {ExportSource::OnePassword,
     "1password",
     u"\"Title\",\"Url\",\"Username\",\"Password\",\"OTPAuth\",\"Favorite\",\"Archived\",\"Tags\",\"Notes\"",
     {{}, u"Title", u"Username", u"Password", u"Url", u"Notes"},
     {},
     {},
     {}},
};

constexpr int GroupField = 0;
constexpr int NotesField = 5;

// Chrome writes its notes column only since 2023; an export without it is still Chrome's.
bool IsOptionalColumn(const Layout& layout, int field)
{
    return layout.source == ExportSource::Chrome && field == NotesField;
}

int ColumnNamed(std::span<const SecureString> header, std::u16string_view name)
{
    const auto found = std::find_if(header.begin(), header.end(),
                                    [&](const SecureString& column) { return std::u16string_view(column) == name; });
    return found == header.end() ? -1 : static_cast<int>(found - header.begin());
}

// The host of a web address: between the scheme and the path, without user name and port.
SecureString HostOf(std::u16string_view url)
{
    if (const std::size_t scheme = url.find(u"://"); scheme != std::u16string_view::npos) {
        url.remove_prefix(scheme + 3);
    }
    url = url.substr(0, url.find_first_of(u"/?#"));
    if (const std::size_t user = url.rfind(u'@'); user != std::u16string_view::npos) {
        url.remove_prefix(user + 1);
    }
    if (url.empty() || url.front() != u'[') {
        url = url.substr(0, url.find(u':'));
    }
    return SecureString(url.begin(), url.end());
}

// The label of a value beyond the header's last column.
std::u16string ColumnLabel(std::size_t column)
{
    const std::string number = std::to_string(column + 1);
    return u"Column " + std::u16string(number.begin(), number.end());
}

} // namespace

std::span<const Layout> CExportPreset::Layouts()
{
    return PresetLayouts;
}

const Layout* CExportPreset::Named(std::string_view name)
{
    for (const Layout& layout : PresetLayouts) {
        if (layout.name == name) {
            return &layout;
        }
    }
    return nullptr;
}

CExportPreset::CExportPreset(const Layout& layout, std::span<const SecureString> header)
    : layout(&layout)
    , header(header.begin(), header.end())
{
    for (int field = 0; field < EntryFieldCount; ++field) {
        if (!layout.columns[field].empty()) {
            fieldColumn[field] = ColumnNamed(header, layout.columns[field]);
        }
    }
    if (!layout.typeColumn.empty()) {
        typeColumn = ColumnNamed(header, layout.typeColumn);
    }
}

std::optional<CExportPreset> CExportPreset::ForHeader(const Layout& layout, std::span<const SecureString> header)
{
    CExportPreset preset(layout, header);
    for (int field = 0; field < EntryFieldCount; ++field) {
        if (!layout.columns[field].empty() && preset.fieldColumn[field] < 0 && !IsOptionalColumn(layout, field)) {
            return std::nullopt;
        }
    }
    if (!layout.typeColumn.empty() && preset.typeColumn < 0) {
        return std::nullopt;
    }
    return preset;
}

std::optional<Entry> CExportPreset::EntryOf(std::span<SecureString> record, std::u16string_view defaultGroup) const
{
    auto valueAt = [&](int column) { return column >= 0 && static_cast<std::size_t>(column) < record.size(); };
    if (typeColumn >= 0 && (!valueAt(typeColumn) || record[typeColumn] != layout->typeValue)) {
        return std::nullopt;
    }
    Entry entry;
    for (int field = 0; field < EntryFieldCount; ++field) {
        if (valueAt(fieldColumn[field])) {
            FieldOf(entry, static_cast<EntryField>(field)) = std::move(record[fieldColumn[field]]);
        }
    }
    if (fieldColumn[GroupField] < 0) {
        entry.group = SecureString(layout->fixedGroup.empty() ? defaultGroup : layout->fixedGroup);
    }
    if (layout->titleFromUrlHost) {
        entry.title = HostOf(entry.url);
    }
    UseNotesLineBreaks(entry.notes);
    for (std::size_t column = 0; column < record.size(); ++column) {
        const bool taken = std::find(std::begin(fieldColumn), std::end(fieldColumn), static_cast<int>(column)) !=
                               std::end(fieldColumn) ||
                           static_cast<int>(column) == typeColumn;
        if (taken || record[column].empty()) {
            continue;
        }
        if (column < header.size()) {
            AppendNoteLine(entry.notes, header[column], record[column]);
        } else {
            AppendNoteLine(entry.notes, ColumnLabel(column), record[column]);
        }
    }
    return entry;
}
