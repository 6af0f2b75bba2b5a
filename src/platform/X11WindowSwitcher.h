#pragma once

#include <chrono>
#include <memory>

#include "platform/WindowSwitcher.h"

struct _XDisplay;

// Remembers the last window of another program that the window manager made active (_NET_ACTIVE_WINDOW) and
// activates it again on request. The owner must call ProcessEvents whenever the connection has something to read,
// since the active window is read when it changes and not later.
//
// In a Wayland session the connection is XWayland's, which sees only the X11 programs: while a Wayland window is
// active the active window is none. An X11 window then counts as the previous one only when it lost the activation
// at about the moment the program's own window took it (NoteOwnActivation); otherwise the window before the
// program's was a Wayland window, out of reach.
class X11WindowSwitcher : public IWindowSwitcher
{
public:
    // None when there is no X display. `xwayland`: the display is XWayland's, beside the program's Wayland window.
    static std::unique_ptr<X11WindowSwitcher> Open(bool xwayland = false);
    ~X11WindowSwitcher() override;

    X11WindowSwitcher(const X11WindowSwitcher&) = delete;
    X11WindowSwitcher& operator=(const X11WindowSwitcher&) = delete;

    // The connection to watch for readable data.
    int EventDescriptor() const;
    void ProcessEvents();
    WindowReturn ReturnToPreviousWindow() override;
    // The program's own (Wayland) window has just become active.
    void NoteOwnActivation();

private:
    X11WindowSwitcher(_XDisplay* display, bool xwayland);

    // Under XWayland: the X11 window to type into, or none when the target is a Wayland window.
    unsigned long XWaylandTarget();
    bool IsActiveAndFocused(unsigned long window) const;
    WindowReturn Activate(unsigned long window);

    void NoteActiveWindow();
    bool SupportsActivation() const;
    bool IsOwnWindow(unsigned long window) const;
    bool HasFocus(unsigned long window) const;
    unsigned long TopmostOtherWindow() const;

    _XDisplay* display;
    unsigned long root;
    unsigned long activeWindowAtom;
    unsigned long previousWindow = 0;
    bool xwayland = false;
    // Under XWayland: the active X11 window as last read (0: a Wayland window is active), when the previous window
    // gave up the activation, and when the program's own window took it.
    unsigned long activeWindow = 0;
    std::chrono::steady_clock::time_point previousLeftAt;
    std::chrono::steady_clock::time_point ownActivatedAt;
};
