#pragma once

#include <QString>

// Object names of the per-field controls of the CSV dialogs, in entry field order, so that tests and
// accessibility tools can find them.
inline QString FieldObjectName(int field)
{
    static const char* const names[] = {"group", "title", "username", "password", "url", "notes"};
    return QString::fromLatin1(names[field]);
}
