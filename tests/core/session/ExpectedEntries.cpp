#include "ExpectedEntries.h"

#include <iterator>

#include "core/common/Utf.h"

#include "support/EntryBuilder.h"
#include "support/HandMadeFile.h"

namespace {
constexpr std::u16string_view Terminator = u"\a\1\5";

bool StorableField(const std::u16string& field)
{
    return field.find(Terminator) == std::u16string::npos && field.find(u'\0') == std::u16string::npos;
}
} // namespace

ExpectedEntries::Key ExpectedEntries::KeyOf(const EntryKey& key)
{
    return {FromSecure(key.group), FromSecure(key.title)};
}

ExpectedEntries::Fields ExpectedEntries::FieldsOf(const EntryFields& fields)
{
    return {FromSecure(fields.username), FromSecure(fields.password), FromSecure(fields.url), FromSecure(fields.notes)};
}

bool ExpectedEntries::Storable(const Key& key, const Fields& fields)
{
    bool storable = StorableField(key.first) && StorableField(key.second);
    for (const std::u16string& field : fields) {
        storable = storable && StorableField(field);
    }
    return storable;
}

bool ExpectedEntries::Add(const Key& key, const Fields& fields)
{
    return entries.try_emplace(key, fields).second;
}

bool ExpectedEntries::Replace(const Key& oldKey, const Key& newKey, const Fields& fields)
{
    if (!entries.contains(oldKey) || (newKey != oldKey && entries.contains(newKey))) {
        return false;
    }
    entries.erase(oldKey);
    entries.emplace(newKey, fields);
    return true;
}

void ExpectedEntries::Remove(const Key& key)
{
    entries.erase(key);
}

void ExpectedEntries::AddRenaming(const Key& key, const Fields& fields)
{
    for (unsigned number = 0; !Add(number == 0 ? key : Key{key.first, key.second + ToU16(number)}, fields); ++number) {
    }
}

const ExpectedEntries::Key& ExpectedEntries::KeyAt(std::size_t index) const
{
    return std::next(entries.begin(), static_cast<std::ptrdiff_t>(index))->first;
}

std::vector<Entry> ExpectedEntries::Entries() const
{
    std::vector<Entry> result;
    for (const auto& [key, fields] : entries) {
        result.push_back(MakeEntry(key.first, key.second, fields[0], fields[1], fields[2], fields[3]));
    }
    return result;
}

std::u16string ExpectedEntries::Text() const
{
    std::u16string text;
    for (const auto& [key, fields] : entries) {
        text += RecordText(key, fields);
    }
    return text;
}

std::string ExpectedEntries::File(const SecureString& password) const
{
    return EncryptedDatabaseBytes(TextBytes(Text()), password);
}

std::u16string RecordText(const ExpectedEntries::Key& key, const ExpectedEntries::Fields& fields)
{
    std::u16string text;
    for (const std::u16string* field : {&key.first, &key.second, &fields[0], &fields[1], &fields[2], &fields[3]}) {
        text += *field;
        text += Terminator;
    }
    return text;
}
