#include "gui/mainwindow/DesktopServices.h"

#include <QSystemTrayIcon>

#include "gui/mainwindow/QtSecondTimer.h"
#include "gui/mainwindow/QtSecretClipboard.h"
#include "platform/Trash.h"

DesktopServices DesktopServices::Real()
{
    DesktopServices services;
    services.clipboard = std::make_unique<QtSecretClipboard>();
    services.clipboardTimer = std::make_unique<QtSecondTimer>();
    services.lockTimer = std::make_unique<QtSecondTimer>();
    services.trayWatchTimer = std::make_unique<QtSecondTimer>();
    services.trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    services.trash = std::make_unique<Trash>();
    return services;
}
