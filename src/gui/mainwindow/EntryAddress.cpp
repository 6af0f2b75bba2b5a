#include "gui/mainwindow/EntryAddress.h"

#include <QDir>

namespace {
// Case-sensitive, as the markers have always been matched.
bool HasAddressMarker(const QString& value)
{
    for (const char* marker : {"www", "http://", "https://", "ftp://", ":\\", "\\\\"}) {
        if (value.contains(QLatin1String(marker), Qt::CaseSensitive)) {
            return true;
        }
    }
    return false;
}
} // namespace

QUrl EntryAddressUrl(const QString& value, const QString& homeFolder)
{
    // Paths of this platform carry none of the markers, and would otherwise become "http://" addresses.
    if (value.startsWith(QLatin1Char('/'))) {
        return QUrl::fromLocalFile(value);
    }
    if (value.startsWith(QLatin1String("~/"))) {
        return QUrl::fromLocalFile(QDir(homeFolder).filePath(value.mid(2)));
    }
    if (HasAddressMarker(value)) {
        // "www.example.org" has no scheme of its own; the desktop needs one to choose the browser.
        return QUrl::fromUserInput(value);
    }
    return QUrl(QStringLiteral("http://") + value);
}
