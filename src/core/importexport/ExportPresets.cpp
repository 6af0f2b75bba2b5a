#include "core/importexport/ExportPresets.h"

#include <algorithm>
#include <string>

#include "core/importexport/EpochTime.h"
#include "core/importexport/NoteLines.h"

namespace {
using Layout = CExportPreset::Layout;

constexpr NoteColumn KeePassXcNotes[] = {{u"Icon", {u"0"}}};
constexpr NoteColumn BitwardenNotes[] = {{u"favorite", {u"0"}}, {u"reprompt", {u"0"}}, {u"type", {u"login", u"note"}}};
// Firefox sets the times of last use and of the last password change to the creation time when it saves a login.
constexpr NoteColumn FirefoxNotes[] = {{u"formActionOrigin", {}, NoteValue::OriginOfUrl},
                                       {u"timeCreated", {}, NoteValue::EpochTime},
                                       {u"timeLastUsed", {}, NoteValue::EpochTime, u"timeCreated"},
                                       {u"timePasswordChanged", {}, NoteValue::EpochTime, u"timeCreated"}};
constexpr NoteColumn OnePasswordNotes[] = {{u"Favorite", {u"false"}}, {u"Archived", {u"false"}}};
constexpr NoteColumn LastPassNotes[] = {{u"fav", {u"0"}}};
constexpr NoteColumn ProtonPassNotes[] = {{u"type", {u"login", u"note"}},
                                          {u"createTime", {}, NoteValue::EpochTime},
                                          {u"modifyTime", {}, NoteValue::EpochTime, u"createTime"}};

constexpr unsigned OptionalNotes = 1u << static_cast<unsigned>(EntryField::Notes);

// Each header is the one the program writes, with its quoting; where each is described is noted in the tests' data.
constexpr Layout PresetLayouts[] = {
    {.source = ExportSource::KeePassXC,
     .name = "keepassxc",
     .header = u"\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\","
               u"\"Created\"",
     .columns = {u"Group", u"Title", u"Username", u"Password", u"URL", u"Notes"},
     .noteColumns = KeePassXcNotes},
    {.source = ExportSource::Bitwarden,
     .name = "bitwarden",
     .header = u"folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp",
     .columns = {u"folder", u"name", u"login_username", u"login_password", u"login_uri", u"notes"},
     .noteColumns = BitwardenNotes},
    // An organisation's vault has collections instead of folders, and an item may be in several of them.
    {.source = ExportSource::Bitwarden,
     .name = "bitwarden",
     .header = u"collections,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp",
     .columns = {u"collections", u"name", u"login_username", u"login_password", u"login_uri", u"notes"},
     .noteColumns = BitwardenNotes,
     .groupIsFirstListItem = true},
    // Chrome writes its notes column only since 2023; an export without it is still Chrome's.
    {.source = ExportSource::Chrome,
     .name = "chrome",
     .header = u"name,url,username,password,note",
     .columns = {{}, u"name", u"username", u"password", u"url", u"note"},
     .fixedGroup = u"Browser",
     .optionalFields = OptionalNotes},
    {.source = ExportSource::Firefox,
     .name = "firefox",
     .header = u"\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\","
               u"\"timeLastUsed\",\"timePasswordChanged\"",
     .columns = {{}, {}, u"username", u"password", u"url", {}},
     .fixedGroup = u"Browser",
     .noteColumns = FirefoxNotes,
     .titleFromUrlHost = true},
    {.source = ExportSource::OnePassword,
     .name = "1password",
     .header = u"\"Title\",\"Url\",\"Username\",\"Password\",\"OTPAuth\",\"Favorite\",\"Archived\",\"Tags\",\"Notes\"",
     .columns = {{}, u"Title", u"Username", u"Password", u"Url", u"Notes"},
     .noteColumns = OnePasswordNotes},
    // Secure notes carry "http://sn" as their URL.
    {.source = ExportSource::LastPass,
     .name = "lastpass",
     .header = u"url,username,password,totp,extra,name,grouping,fav",
     .columns = {u"grouping", u"name", u"username", u"password", u"url", u"extra"},
     .noteColumns = LastPassNotes,
     .placeholderUrl = u"http://sn"},
    // Safari's export before the Passwords app had no notes column.
    {.source = ExportSource::ApplePasswords,
     .name = "apple",
     .header = u"Title,URL,Username,Password,Notes,OTPAuth",
     .columns = {{}, u"Title", u"Username", u"Password", u"URL", u"Notes"},
     .optionalFields = OptionalNotes},
    {.source = ExportSource::Dashlane,
     .name = "dashlane",
     .header = u"username,username2,username3,title,password,note,url,category,otpSecret",
     .columns = {u"category", u"title", u"username", u"password", u"url", u"note"}},
    // Older versions had no email column and kept the address in the user name.
    {.source = ExportSource::ProtonPass,
     .name = "protonpass",
     .header = u"type,name,url,email,username,password,note,totp,createTime,modifyTime,vault",
     .columns = {u"vault", u"name", u"username", u"password", u"url", u"note"},
     .noteColumns = ProtonPassNotes,
     .usernameFallback = u"email"},
};

int ColumnNamed(std::span<const SecureString> header, std::u16string_view name)
{
    const auto found = std::find_if(header.begin(), header.end(),
                                    [&](const SecureString& column) { return std::u16string_view(column) == name; });
    return found == header.end() ? -1 : static_cast<int>(found - header.begin());
}

// The column names of a documented header line, without their quotes.
std::vector<std::u16string_view> DocumentedColumns(std::u16string_view header)
{
    std::vector<std::u16string_view> names;
    for (std::size_t start = 0; start <= header.size();) {
        const std::size_t end = std::min(header.find(u',', start), header.size());
        std::u16string_view name = header.substr(start, end - start);
        if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"') {
            name = name.substr(1, name.size() - 2);
        }
        names.push_back(name);
        start = end + 1;
    }
    return names;
}

// The host of a web address: between the scheme and the path, without user name and port.
std::u16string_view HostOf(std::u16string_view url)
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
    return url;
}

// Whether the text is the origin of a web address: its scheme, host and port, without user name and path.
bool IsOriginOf(std::u16string_view text, std::u16string_view url)
{
    const std::size_t scheme = url.find(u"://");
    if (scheme == std::u16string_view::npos) {
        return false;
    }
    std::u16string_view authority = url.substr(scheme + 3);
    authority = authority.substr(0, authority.find_first_of(u"/?#"));
    if (const std::size_t user = authority.rfind(u'@'); user != std::u16string_view::npos) {
        authority.remove_prefix(user + 1);
    }
    return text.size() == scheme + 3 + authority.size() && text.starts_with(url.substr(0, scheme + 3)) &&
           text.ends_with(authority);
}

// The label of a value beyond the header's last column.
std::u16string ColumnLabel(std::size_t column)
{
    const std::string number = std::to_string(column + 1);
    return u"Column " + std::u16string(number.begin(), number.end());
}

// The value as the notes show it: a count of seconds as a date, anything else as written.
std::u16string_view Shown(const NoteColumn* rule, const SecureString& value, IsoDate& date)
{
    if (rule != nullptr && rule->kind == NoteValue::EpochTime) {
        if (const std::optional<std::int64_t> seconds = EpochSeconds(value)) {
            date = IsoDateOfEpochSeconds(*seconds);
            return {date.data(), date.size()};
        }
    }
    return value;
}

// The length of the value as the notes show it, without making the date.
std::size_t ShownSize(const NoteColumn* rule, const SecureString& value)
{
    const bool date = rule != nullptr && rule->kind == NoteValue::EpochTime && EpochSeconds(value);
    return date ? std::tuple_size_v<IsoDate> : value.size();
}
} // namespace

std::span<const Layout> CExportPreset::Layouts()
{
    return PresetLayouts;
}

std::span<const Layout> CExportPreset::Named(std::string_view name)
{
    const auto first = std::find_if(std::begin(PresetLayouts), std::end(PresetLayouts),
                                    [&](const Layout& layout) { return layout.name == name; });
    const auto last =
        std::find_if(first, std::end(PresetLayouts), [&](const Layout& layout) { return layout.name != name; });
    return {first, last};
}

std::vector<std::string_view> CExportPreset::Names()
{
    std::vector<std::string_view> names;
    for (const Layout& layout : PresetLayouts) {
        if (names.empty() || names.back() != layout.name) {
            names.push_back(layout.name);
        }
    }
    return names;
}

CExportPreset::CExportPreset(const Layout& layout, std::span<const SecureString> header)
    : layout(&layout)
    , header(header.begin(), header.end())
    , noteRules(header.size(), nullptr)
    , sameAsColumns(header.size(), -1)
    , taken(header.size(), false)
{
    for (int field = 0; field < EntryFieldCount; ++field) {
        if (!layout.columns[field].empty()) {
            fieldColumn[field] = ColumnNamed(header, layout.columns[field]);
            if (fieldColumn[field] >= 0) {
                taken[static_cast<std::size_t>(fieldColumn[field])] = true;
            }
        }
    }
    if (!layout.usernameFallback.empty()) {
        usernameFallbackColumn = ColumnNamed(header, layout.usernameFallback);
    }
    for (const NoteColumn& rule : layout.noteColumns) {
        if (const int column = ColumnNamed(header, rule.name); column >= 0) {
            noteRules[static_cast<std::size_t>(column)] = &rule;
            sameAsColumns[static_cast<std::size_t>(column)] =
                rule.sameAs.empty() ? -1 : ColumnNamed(header, rule.sameAs);
        }
    }
}

bool CExportPreset::HasNeededColumns() const
{
    for (int field = 0; field < EntryFieldCount; ++field) {
        const bool optional = (layout->optionalFields & (1u << field)) != 0;
        if (!layout->columns[field].empty() && fieldColumn[field] < 0 && !optional) {
            return false;
        }
    }
    return true;
}

std::size_t CExportPreset::KnownColumns() const
{
    const std::vector<std::u16string_view> documented = DocumentedColumns(layout->header);
    return static_cast<std::size_t>(std::count_if(header.begin(), header.end(), [&](const SecureString& column) {
        return std::find(documented.begin(), documented.end(), std::u16string_view(column)) != documented.end();
    }));
}

std::optional<CExportPreset> CExportPreset::ForHeader(std::span<const Layout> candidates,
                                                      std::span<const SecureString> header)
{
    std::optional<CExportPreset> best;
    std::size_t bestKnown = 0;
    for (const Layout& layout : candidates) {
        CExportPreset preset(layout, header);
        if (!preset.HasNeededColumns()) {
            continue;
        }
        // Exports share column names (Chrome's five are all in Proton Pass's): the layout that knows most wins.
        const std::size_t known = preset.KnownColumns();
        if (!best || known > bestKnown) {
            best = std::move(preset);
            bestKnown = known;
        }
    }
    return best;
}

CExportPreset::KeyView CExportPreset::KeyOf(std::span<const SecureString> record,
                                            std::u16string_view defaultGroup) const
{
    const auto valueOf = [&](EntryField field) {
        const int column = fieldColumn[static_cast<int>(field)];
        return column >= 0 && static_cast<std::size_t>(column) < record.size()
                   ? std::u16string_view(record[static_cast<std::size_t>(column)])
                   : std::u16string_view();
    };
    KeyView key{valueOf(EntryField::Group),
                layout->titleFromUrlHost ? HostOf(valueOf(EntryField::Url)) : valueOf(EntryField::Title)};
    if (fieldColumn[static_cast<int>(EntryField::Group)] < 0) {
        key.group = layout->fixedGroup.empty() ? defaultGroup : layout->fixedGroup;
    } else if (layout->groupIsFirstListItem) {
        key.group = key.group.substr(0, key.group.find(u','));
    }
    return key;
}

std::vector<bool> CExportPreset::KeyColumns() const
{
    std::vector<bool> columns(header.size(), false);
    const EntryField titleField = layout->titleFromUrlHost ? EntryField::Url : EntryField::Title;
    for (const EntryField field : {EntryField::Group, titleField}) {
        if (const int column = fieldColumn[static_cast<int>(field)]; column >= 0) {
            columns[static_cast<std::size_t>(column)] = true;
        }
    }
    return columns;
}

Entry CExportPreset::EntryOf(std::span<SecureString> record, std::u16string_view defaultGroup) const
{
    auto valueAt = [&](int column) { return column >= 0 && static_cast<std::size_t>(column) < record.size(); };
    Entry entry;
    for (int field = 0; field < EntryFieldCount; ++field) {
        if (valueAt(fieldColumn[field])) {
            FieldOf(entry, static_cast<EntryField>(field)).swap(record[static_cast<std::size_t>(fieldColumn[field])]);
        }
    }
    const int groupColumn = fieldColumn[static_cast<int>(EntryField::Group)];
    if (groupColumn < 0) {
        entry.group = SecureString(layout->fixedGroup.empty() ? defaultGroup : layout->fixedGroup);
    } else if (layout->groupIsFirstListItem) {
        if (const std::size_t comma = entry.group.find(u','); comma != SecureString::npos) {
            // The other lists go into the notes, as the whole list.
            record[static_cast<std::size_t>(groupColumn)] = entry.group;
            entry.group.resize(comma);
        }
    }
    if (entry.username.empty() && valueAt(usernameFallbackColumn)) {
        entry.username.swap(record[static_cast<std::size_t>(usernameFallbackColumn)]);
    }
    if (layout->titleFromUrlHost) {
        entry.title = SecureString(HostOf(entry.url));
    }
    if (!layout->placeholderUrl.empty() && std::u16string_view(entry.url) == layout->placeholderUrl) {
        entry.url.clear();
    }
    UseNotesLineBreaks(entry.notes);
    AppendNotes(entry, record);
    return entry;
}

bool CExportPreset::TellsNothing(std::size_t column, std::span<const SecureString> record, const Entry& entry) const
{
    const NoteColumn& rule = *noteRules[column];
    const std::u16string_view text(record[column]);
    if (rule.kind == NoteValue::OriginOfUrl) {
        return IsOriginOf(text, entry.url);
    }
    if (const int same = sameAsColumns[column]; same >= 0 && static_cast<std::size_t>(same) < record.size() &&
                                                text == std::u16string_view(record[static_cast<std::size_t>(same)])) {
        return true;
    }
    return std::any_of(std::begin(rule.defaults), std::end(rule.defaults),
                       [&](std::u16string_view fallback) { return !fallback.empty() && text == fallback; });
}

bool CExportPreset::KeepForNotes(std::size_t column, std::span<const SecureString> record, const Entry& entry) const
{
    if (record[column].empty()) {
        return false;
    }
    if (column >= header.size()) {
        return true;
    }
    const bool listKept =
        layout->groupIsFirstListItem && static_cast<int>(column) == fieldColumn[static_cast<int>(EntryField::Group)];
    if (taken[column] && !listKept) {
        return false;
    }
    return noteRules[column] == nullptr || !TellsNothing(column, record, entry);
}

std::u16string_view CExportPreset::NoteLabel(std::size_t column, std::u16string& beyondHeader) const
{
    if (column < header.size()) {
        return header[column];
    }
    beyondHeader = ColumnLabel(column);
    return beyondHeader;
}

const NoteColumn* CExportPreset::NoteRule(std::size_t column) const
{
    return column < noteRules.size() ? noteRules[column] : nullptr;
}

void CExportPreset::AppendNotes(Entry& entry, std::span<SecureString> record) const
{
    // The notes grow once, to their exact size: a wiped buffer is wiped whole when it is freed, so room to spare
    // would be wiped with every entry of a large import. Values that stay out are cleared in the first pass.
    std::size_t size = entry.notes.size();
    std::u16string label;
    for (std::size_t column = 0; column < record.size(); ++column) {
        SecureString& value = record[column];
        if (!KeepForNotes(column, record, entry)) {
            value.clear();
            continue;
        }
        UseNotesLineBreaks(value);
        size += (size > 0 ? 2 : 0) + NoteLabel(column, label).size() + 2 + ShownSize(NoteRule(column), value);
    }
    entry.notes.reserve(size);
    IsoDate date;
    for (std::size_t column = 0; column < record.size(); ++column) {
        if (!record[column].empty()) {
            AppendNoteLineAsIs(entry.notes, NoteLabel(column, label), Shown(NoteRule(column), record[column], date));
        }
    }
}
