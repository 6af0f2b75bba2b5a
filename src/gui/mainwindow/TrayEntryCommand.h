#pragma once

#include <QMetaType>
#include <cstddef>

// The per-entry commands of the notification-area menu. A command names its kind and the entry's index in key order
// instead of a numeric id, so that no number of entries can make two commands collide.
enum class TrayEntryCommand
{
    PasteUsername,
    PastePassword,
    AutoLogin,
};

struct TrayEntryChoice
{
    TrayEntryCommand kind;
    // 0-based position of the entry in the collection's key order.
    std::size_t entryIndex;
};
Q_DECLARE_METATYPE(TrayEntryChoice)
