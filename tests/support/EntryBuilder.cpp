#include "support/EntryBuilder.h"

#include "core/common/SecureString.h"
#include "core/common/Utf.h"

Entry MakeEntry(std::u16string_view group, std::u16string_view title, std::u16string_view username,
                std::u16string_view password, std::u16string_view url, std::u16string_view notes)
{
    return Entry(ToSecure(group), ToSecure(title), ToSecure(username), ToSecure(password), ToSecure(url),
                 ToSecure(notes));
}

std::vector<Entry> EntriesOf(const CDataBase& database)
{
    std::vector<Entry> entries;
    for (const auto& item : database) {
        entries.push_back(ToEntry(item));
    }
    return entries;
}

void PrintTo(const Entry& entry, std::ostream* out)
{
    *out << '(';
    for (int field = 0; field < EntryFieldCount; ++field) {
        *out << (field > 0 ? ", " : "") << '"' << SecureToUtf8(FieldOf(entry, static_cast<EntryField>(field))) << '"';
    }
    *out << ')';
}
