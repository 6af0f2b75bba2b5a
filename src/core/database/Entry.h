#pragma once

#include "core/common/SecureString.h"

// The pair that identifies an entry; ordered by group, then title, code unit by code unit as unsigned numbers.
struct EntryKey
{
    SecureString group;
    SecureString title;

    friend bool operator==(const EntryKey&, const EntryKey&) = default;
    friend auto operator<=>(const EntryKey& left, const EntryKey& right)
    {
        // char_traits<char16_t> compares code units as unsigned 16-bit numbers, so Z sorts before a.
        if (auto byGroup = left.group.compare(right.group); byGroup != 0) {
            return byGroup <=> 0;
        }
        return left.title.compare(right.title) <=> 0;
    }
};

// The four fields an entry holds besides its key.
struct EntryFields
{
    SecureString username;
    SecureString password;
    SecureString url;
    SecureString notes;

    friend bool operator==(const EntryFields&, const EntryFields&) = default;
};

// One password entry: six text fields, always in this order (file, exports, CSV, dialogs).
struct Entry
{
    SecureString group;
    SecureString title;
    SecureString username;
    SecureString password;
    SecureString url;
    SecureString notes;

    Entry() = default;
    Entry(SecureString group, SecureString title, SecureString username, SecureString password, SecureString url,
          SecureString notes)
        : group(std::move(group))
        , title(std::move(title))
        , username(std::move(username))
        , password(std::move(password))
        , url(std::move(url))
        , notes(std::move(notes))
    {}
    Entry(const EntryKey& key, const EntryFields& fields)
        : Entry(key.group, key.title, fields.username, fields.password, fields.url, fields.notes)
    {}

    EntryKey Key() const { return {group, title}; }
    EntryFields Fields() const { return {username, password, url, notes}; }

    friend bool operator==(const Entry&, const Entry&) = default;
};

// Number of text fields of an entry, and their order.
inline constexpr int EntryFieldCount = 6;
enum class EntryField
{
    Group,
    Title,
    Username,
    Password,
    Url,
    Notes,
};

inline const SecureString& FieldOf(const Entry& entry, EntryField field)
{
    switch (field) {
    case EntryField::Group:
        return entry.group;
    case EntryField::Title:
        return entry.title;
    case EntryField::Username:
        return entry.username;
    case EntryField::Password:
        return entry.password;
    case EntryField::Url:
        return entry.url;
    case EntryField::Notes:
        break;
    }
    return entry.notes;
}

inline SecureString& FieldOf(Entry& entry, EntryField field)
{
    return const_cast<SecureString&>(FieldOf(static_cast<const Entry&>(entry), field));
}
