#pragma once

// How the user reached the command, which decides the keys that return to the previous window where the window
// manager cannot be asked: Alt+Tab after the main window's menus, Alt+Esc after the tray menu.
enum class ReturnWay
{
    AltTab,
    AltEsc,
};

enum class WindowReturn
{
    // The previous window has the keyboard focus.
    Returned,
    // The window manager cannot activate windows on request, or no previous window is known.
    NotSupported,
    // The previous window did not get the focus in time; typing now would reach some other window.
    Failed,
    // The window to type into is a window of the Wayland compositor, which no program may send keys to.
    WaylandWindow,
};

// Gives the activation back to the window that was active before the program's own.
class IWindowSwitcher
{
public:
    virtual ~IWindowSwitcher() = default;
    virtual WindowReturn ReturnToPreviousWindow() = 0;
};
