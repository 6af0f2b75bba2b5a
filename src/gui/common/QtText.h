#pragma once

#include <QString>

#include "core/common/SecureString.h"
#include "core/common/TextSource.h"
#include "gui/common/SecureText.h"

// The translated text of an id as a Qt string.
inline QString QtText(const ITextSource& texts, int id)
{
    return QString::fromStdU16String(texts.Text(id));
}

inline QString ToQString(const std::u16string& text)
{
    return QStringOfUnits(text.data(), text.size());
}

// Takes a password out of an edit field into wiping storage and empties the field.
SecureString TakeSecret(class QLineEdit& field);
