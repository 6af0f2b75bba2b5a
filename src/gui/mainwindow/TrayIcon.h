#pragma once

#include <QObject>
#include <QSystemTrayIcon>

class QMenu;

// The program's icon in the notification area, with the tool tip "Lockmere": present while the main window is
// hidden. A single click asks to show or hide the window, as on Linux desktops, a double click asks for the window
// back; a right click opens the tray menu.
class CTrayIcon : public QObject
{
    Q_OBJECT
public:
    CTrayIcon(QMenu* menu, QObject* parent);
    ~CTrayIcon() override;

    // Adding an icon that is already there changes nothing.
    void Add();
    void Remove();
    bool IsShown() const { return icon.isVisible(); }

signals:
    void clicked();
    void doubleClicked();

private:
    QSystemTrayIcon icon;
};
