#pragma once

#include "core/database/DataBase.h"
#include "core/settings/BuiltinTexts.h"

// Text ids of the field names that CSV headers, import messages and HTML headings show.
inline int FieldNameTextId(EntryField field)
{
    constexpr int ids[EntryFieldCount] = {TextId::GroupField,    TextId::TitleField, TextId::UsernameField,
                                          TextId::PasswordField, TextId::UrlField,   TextId::NotesField};
    return ids[static_cast<int>(field)];
}

// Text ids of the labels that begin the lines of the text listing.
inline int FieldLabelTextId(EntryField field)
{
    constexpr int ids[EntryFieldCount] = {TextId::GroupLabel,    TextId::TitleLabel, TextId::UsernameLabel,
                                          TextId::PasswordLabel, TextId::UrlLabel,   TextId::NotesLabel};
    return ids[static_cast<int>(field)];
}

// A field of an entry in the collection, read in place rather than copied out.
inline const SecureString& ValueOf(const CDataBase::Map::value_type& item, EntryField field)
{
    switch (field) {
    case EntryField::Group:
        return item.first.group;
    case EntryField::Title:
        return item.first.title;
    case EntryField::Username:
        return item.second.username;
    case EntryField::Password:
        return item.second.password;
    case EntryField::Url:
        return item.second.url;
    case EntryField::Notes:
        break;
    }
    return item.second.notes;
}
