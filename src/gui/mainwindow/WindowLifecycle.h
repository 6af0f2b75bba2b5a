#pragma once

#include <QObject>
#include <filesystem>
#include <memory>

#include "gui/mainwindow/DesktopServices.h"
#include "gui/mainwindow/WindowMinimising.h"

class AutoLock;
class COptions;
class CTrayIcon;
class DatabaseSession;
class ProgressWork;
class QMainWindow;
class TrayMenu;

// The main window's life between the screen and the notification area: the hidden start, minimising to the tray
// (locking on the way when the settings ask), showing again (unlocking a locked database), the automatic lock, a
// close button that hides, a notification area that comes and goes, and a second start of the program. A single
// click on the icon shows or hides the window, a double click shows it. While a dialog of the program is open the
// window never unlocks under it: the tray brings that dialog to the front, and the window follows once it is closed.
class WindowLifecycle : public QObject
{
    Q_OBJECT
public:
    WindowLifecycle(QMainWindow& window, DatabaseSession& session, COptions& options, const ProgressWork& fileWork,
                    DesktopServices& desktop, TrayMenu& trayMenu, bool startHidden);
    ~WindowLifecycle() override;

    // Shows the window, or for a hidden start only the icon (the window minimised where there is no notification
    // area); false when the start is hidden and nothing is to be opened now.
    bool Start();
    // Brings the window back: the first showing after a hidden start opens the last database, a locked database
    // asks for its password again. Only one password prompt is ever up; while another dialog is open, that dialog
    // comes to the front instead and the window follows when it closes.
    void ShowFromTray();
    // Locks and goes to the notification area: the automatic lock and the Lock command.
    void LockNow();
    // A second start of the program: the window comes to the front, from the notification area if need be.
    void BringToFront();
    // A second start that named a database file: the window comes to the front and opens the file, after asking to
    // close another open database. While a prompt or a dialog is up, only that comes to the front.
    void OpenFileFromOutside(const std::filesystem::path& file);

    // The main window's events, handed on.
    void WindowStateChanged();
    void WindowActivationChanged();
    // True when the close button should minimise rather than end the program.
    bool HidesInsteadOfClosing() const;
    // True when a request to show the window is held back by a hidden start.
    bool KeepsHidden(bool visible);
    void Ending();

    bool StartHidden() const { return startHidden; }
    bool InTray() const { return inTray; }
    CTrayIcon& Tray() { return *trayIcon; }
    // A dialog of the program is open over the window.
    bool IsDialogOpen() const;

signals:
    // The window is back on the screen; the commands' state may have changed on the way.
    void shown();

private:
    void ToggleFromTray();
    void Follow(WindowMinimising::Change change);
    void Minimised();
    void Restored();
    void HideToTray();
    void ShowWindowAgain();
    void LockMinimised();
    bool BringDialogToFront();
    void ShowOnceDialogsClose();
    void WatchTray();
    // True when the window may not change now: `retry` is then called again once it may have.
    bool Defer(void (WindowLifecycle::*retry)());

    QMainWindow& window;
    DatabaseSession& session;
    COptions& options;
    const ProgressWork& fileWork;
    DesktopServices& desktop;
    std::unique_ptr<AutoLock> autoLock;
    CTrayIcon* trayIcon = nullptr;
    bool startHidden = false;
    WindowMinimising minimising{WindowMinimising::StateReportedHere()};
    bool inTray = false;
    bool showingFromTray = false;
    // The window was asked back while a dialog was open.
    bool showPending = false;
};
