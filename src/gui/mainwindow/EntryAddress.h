#pragma once

#include <QString>
#include <QUrl>

// What an entry's URL/path opens: a value that starts with "/" or "~/" is a local file or folder; a value with a
// scheme, "www", a drive or a network path is taken as it is; anything else is taken as a web address.
QUrl EntryAddressUrl(const QString& value, const QString& homeFolder);
