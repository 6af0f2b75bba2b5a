#include "gui/mainwindow/WindowLifecycle.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QTimer>
#include <algorithm>

#include "core/session/DatabaseSession.h"
#include "core/settings/Options.h"
#include "gui/mainwindow/AutoLock.h"
#include "gui/mainwindow/ProgressWork.h"
#include "gui/mainwindow/TrayIcon.h"
#include "gui/mainwindow/TrayMenu.h"

namespace {
constexpr int RetryMilliseconds = 200;
} // namespace

WindowLifecycle::WindowLifecycle(QMainWindow& window, DatabaseSession& session, COptions& options,
                                 const ProgressWork& fileWork, DesktopServices& desktop, TrayMenu& trayMenu,
                                 bool startHidden)
    : QObject(&window)
    , window(window)
    , session(session)
    , options(options)
    , fileWork(fileWork)
    , desktop(desktop)
    , autoLock(std::make_unique<AutoLock>(
          *desktop.lockTimer, options, [this] { return this->session.IsOpen() && !IsDialogOpen(); },
          [this] { LockNow(); }))
    , trayIcon(new CTrayIcon(trayMenu.Menu(), this))
    , startHidden(startHidden)
{
    connect(trayIcon, &CTrayIcon::clicked, this, &WindowLifecycle::ToggleFromTray);
    connect(trayIcon, &CTrayIcon::doubleClicked, this, &WindowLifecycle::ShowFromTray);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) {
            autoLock->ApplicationActivated();
        } else {
            autoLock->ApplicationDeactivated();
        }
    });
    desktop.trayWatchTimer->SetTickHandler([this] { WatchTray(); });
    desktop.trayWatchTimer->Start();
}

WindowLifecycle::~WindowLifecycle() = default;

bool WindowLifecycle::Start()
{
    if (!startHidden) {
        window.show();
        return true;
    }
    // The last database is opened when the window is first shown. Without a notification area the window waits
    // minimised in the task bar, where it can always be found again.
    session.SetLocked(true);
    if (desktop.trayAvailable()) {
        window.setVisible(true);
    } else {
        window.showMinimized();
    }
    return false;
}

bool WindowLifecycle::IsDialogOpen() const
{
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != &window) {
        return true;
    }
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* top) {
        return top->isVisible() && qobject_cast<const QDialog*>(top) != nullptr;
    });
}

bool WindowLifecycle::Defer(void (WindowLifecycle::*retry)())
{
    // The collection and the held file belong to the file work while it runs; a lock or an unlock meanwhile would
    // pull them from under it.
    if (!fileWork.IsRunning()) {
        return false;
    }
    QTimer::singleShot(RetryMilliseconds, this, retry);
    return true;
}

bool WindowLifecycle::BringDialogToFront()
{
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr || dialog == &window) {
        const auto windows = QApplication::topLevelWidgets();
        const auto open = std::find_if(windows.begin(), windows.end(), [](const QWidget* top) {
            return top->isVisible() && qobject_cast<const QDialog*>(top) != nullptr;
        });
        dialog = open == windows.end() ? nullptr : *open;
    }
    if (dialog == nullptr) {
        return false;
    }
    dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return true;
}

void WindowLifecycle::ShowFromTray()
{
    // A password prompt runs its own event loop, in which the window may be restored or the icon clicked again; any
    // other dialog belongs to a command that must end before the database may change under it.
    if (showingFromTray) {
        return;
    }
    if (BringDialogToFront()) {
        if (!showPending) {
            showPending = true;
            QTimer::singleShot(RetryMilliseconds, this, &WindowLifecycle::ShowOnceDialogsClose);
        }
        return;
    }
    if (session.IsOpening() || Defer(&WindowLifecycle::ShowFromTray)) {
        return;
    }
    showingFromTray = true;
    if (startHidden) {
        startHidden = false;
        inTray = false;
        trayIcon->Remove();
        session.SetLocked(false);
        session.StartupOpen(options.fLastDB);
        ShowWindowAgain();
    } else if (session.IsLocked()) {
        inTray = false;
        trayIcon->Remove();
        if (options.LastPath.empty()) {
            session.SetLocked(false);
        } else {
            session.Unlock();
        }
        ShowWindowAgain();
    } else if (inTray) {
        ShowWindowAgain();
        trayIcon->Remove();
        inTray = false;
    }
    showingFromTray = false;
    emit shown();
}

void WindowLifecycle::ToggleFromTray()
{
    if (window.isVisible() && !minimising.IsMinimised() && !inTray) {
        window.showMinimized();
    } else {
        ShowFromTray();
    }
}

void WindowLifecycle::BringToFront()
{
    ShowFromTray();
    // A window already on the screen comes to the front as well, unless a dialog of the program came instead.
    if (!IsDialogOpen()) {
        ShowWindowAgain();
    }
}

void WindowLifecycle::OpenFileFromOutside(const std::filesystem::path& file)
{
    if (BringDialogToFront()) {
        // A command of the window waits for its dialog: the file can only wait for the user to ask again.
        return;
    }
    if (showingFromTray || session.IsOpening() || fileWork.IsRunning()) {
        ShowWindowAgain();
        return;
    }
    showingFromTray = true;
    if (startHidden) {
        // The last database was never opened: nothing to close, and the named file comes instead.
        startHidden = false;
        session.StartupOpen(false);
        session.SetLocked(false);
    }
    inTray = false;
    trayIcon->Remove();
    ShowWindowAgain();
    session.OpenFile(file);
    showingFromTray = false;
    if (session.IsLocked()) {
        // The user kept the locked database: showing the window asks for its password, as always.
        ShowFromTray();
        return;
    }
    emit shown();
}

void WindowLifecycle::ShowOnceDialogsClose()
{
    if (IsDialogOpen()) {
        QTimer::singleShot(RetryMilliseconds, this, &WindowLifecycle::ShowOnceDialogsClose);
        return;
    }
    showPending = false;
    ShowFromTray();
}

void WindowLifecycle::ShowWindowAgain()
{
    // A window hidden while minimised would be mapped minimised again: the state goes first.
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    minimising.ShownAgain();
    window.show();
    window.raise();
    window.activateWindow();
}

void WindowLifecycle::LockNow()
{
    if (Defer(&WindowLifecycle::LockNow)) {
        return;
    }
    if (!session.IsLocked()) {
        session.Lock();
    }
    if (!inTray) {
        window.showMinimized();
    }
}

void WindowLifecycle::WindowStateChanged()
{
    Follow(minimising.StateChanged(window.isMinimized(), window.isActiveWindow()));
}

void WindowLifecycle::WindowActivationChanged()
{
    Follow(minimising.ActivationChanged(window.isActiveWindow()));
}

void WindowLifecycle::Follow(WindowMinimising::Change change)
{
    if (change == WindowMinimising::Change::Minimised) {
        Minimised();
    } else if (change == WindowMinimising::Change::Restored) {
        // The password prompt must not run inside the state change itself.
        QTimer::singleShot(0, this, &WindowLifecycle::Restored);
    }
}

void WindowLifecycle::Minimised()
{
    LockMinimised();
    if (desktop.trayAvailable()) {
        // Hiding inside the state change would leave the window manager's state behind.
        QTimer::singleShot(0, this, &WindowLifecycle::HideToTray);
    }
}

void WindowLifecycle::LockMinimised()
{
    if (Defer(&WindowLifecycle::LockMinimised)) {
        return;
    }
    if (options.fLockDBMin && !options.LastPath.empty() && minimising.IsMinimised()) {
        session.Lock();
    }
}

void WindowLifecycle::Restored()
{
    // Without a notification area the task bar brings the window back, and with it the database.
    if (!inTray) {
        ShowFromTray();
    }
}

void WindowLifecycle::HideToTray()
{
    if (!minimising.IsMinimised() || startHidden || !desktop.trayAvailable()) {
        return;
    }
    window.hide();
    trayIcon->Add();
    inTray = true;
}

void WindowLifecycle::WatchTray()
{
    if (!inTray || desktop.trayAvailable()) {
        return;
    }
    // The notification area has gone (its panel ended or restarts): a window hidden in it could not be found
    // again. It waits minimised in the task bar instead, as on a desktop without one, until the user hides it.
    inTray = false;
    trayIcon->Remove();
    window.showMinimized();
}

bool WindowLifecycle::HidesInsteadOfClosing() const
{
    // Without a notification area a hidden window could not be found again, so the close button ends the program.
    return options.fCloseHide && desktop.trayAvailable();
}

bool WindowLifecycle::KeepsHidden(bool visible)
{
    if (visible && startHidden && desktop.trayAvailable()) {
        trayIcon->Add();
        inTray = true;
        return true;
    }
    return false;
}

void WindowLifecycle::Ending()
{
    autoLock->ApplicationActivated();
    desktop.trayWatchTimer->Stop();
}
