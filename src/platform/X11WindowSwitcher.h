#pragma once

#include <memory>

#include "platform/WindowSwitcher.h"

struct _XDisplay;

// Remembers the last window of another program that the window manager made active (_NET_ACTIVE_WINDOW) and
// activates it again on request. The owner must call ProcessEvents whenever the connection has something to read,
// since the active window is read when it changes and not later.
class X11WindowSwitcher : public IWindowSwitcher
{
public:
    // None when there is no X display.
    static std::unique_ptr<X11WindowSwitcher> Open();
    ~X11WindowSwitcher() override;

    X11WindowSwitcher(const X11WindowSwitcher&) = delete;
    X11WindowSwitcher& operator=(const X11WindowSwitcher&) = delete;

    // The connection to watch for readable data.
    int EventDescriptor() const;
    void ProcessEvents();
    WindowReturn ReturnToPreviousWindow() override;

private:
    explicit X11WindowSwitcher(_XDisplay* display);

    void NoteActiveWindow();
    bool SupportsActivation() const;
    bool IsOwnWindow(unsigned long window) const;
    bool HasFocus(unsigned long window) const;
    unsigned long TopmostOtherWindow() const;

    _XDisplay* display;
    unsigned long root;
    unsigned long activeWindowAtom;
    unsigned long previousWindow = 0;
};
