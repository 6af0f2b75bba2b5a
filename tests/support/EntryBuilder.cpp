#include "support/EntryBuilder.h"

#include "core/common/SecureString.h"

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
