#pragma once

#include <QString>

#include "core/common/SecureString.h"

// Entry fields cross into Qt only as copies for display and editing; these keep the conversions free of
// intermediate standard strings that would be released unwiped.
inline QString ToQString(const SecureString& text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline SecureString ToSecureString(const QString& text)
{
    return SecureString(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

// Overwrites a string that held entry fields before it is released. Wipes the string's own buffer only when no
// other string shares it; the caller releases the sharers first.
inline void WipeQString(QString& text)
{
    if (text.isDetached()) {
        text.fill(QChar(u'\0'));
    }
    text.clear();
}
