#include "gui/mainwindow/TrayIcon.h"

#include "gui/common/Icons.h"

CTrayIcon::CTrayIcon(QMenu* menu, QObject* parent)
    : QObject(parent)
{
    icon.setIcon(ProgramIcon());
    icon.setToolTip(QStringLiteral("Lockmere"));
    icon.setContextMenu(menu);
    connect(&icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) {
            emit clicked();
        } else if (reason == QSystemTrayIcon::DoubleClick) {
            emit doubleClicked();
        }
    });
}

CTrayIcon::~CTrayIcon()
{
    icon.hide();
}

void CTrayIcon::Add()
{
    if (!icon.isVisible()) {
        icon.show();
    }
}

void CTrayIcon::Remove()
{
    icon.hide();
}
