#include "gui/app/QtSettingsPlace.h"

#include <QSettings>

#include "platform/SettingsFolder.h"

void KeepQtSettingsWithOurs()
{
    const std::filesystem::path folder = SettingsFolder();
    if (folder.empty()) {
        return;
    }
    const QString path = QString::fromStdString(folder.string());
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, path);
    }
}
