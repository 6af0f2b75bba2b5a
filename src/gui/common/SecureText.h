#pragma once

#include <QString>

#include "core/common/SecureString.h"

// Every unit as it is. QString::fromUtf16 would take a leading U+FEFF for a byte-order mark and drop it from the
// text: from a field shown, copied or edited, and then from the entry.
inline QString QStringOfUnits(const char16_t* units, std::size_t size)
{
    return QString(reinterpret_cast<const QChar*>(units), static_cast<qsizetype>(size));
}

// Entry fields cross into Qt only as copies for display and editing; these keep the conversions free of
// intermediate standard strings that would be released unwiped.
inline QString ToQString(const SecureString& text)
{
    return QStringOfUnits(text.data(), text.size());
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
