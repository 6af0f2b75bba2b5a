#include "platform/X11WindowSwitcher.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using namespace std::chrono_literals;

constexpr auto FocusTimeout = 500ms;
constexpr auto FocusPollInterval = 5ms;
// The request comes from a pager-like source, which window managers honour without focus-stealing checks.
constexpr long PagerSource = 2;
// The compositor tells XWayland and the program's own window of one change of activation at about the same time, in
// either order.
constexpr auto SameActivationChange = 1000ms;

// The window a program's window asked about may be gone; Xlib's default would end the whole program then.
class IgnoredErrors
{
public:
    explicit IgnoredErrors(Display* display)
        : display(display)
        , previous(XSetErrorHandler([](Display*, XErrorEvent*) { return 0; }))
    {}
    ~IgnoredErrors()
    {
        XSync(display, False);
        XSetErrorHandler(previous);
    }
    IgnoredErrors(const IgnoredErrors&) = delete;
    IgnoredErrors& operator=(const IgnoredErrors&) = delete;

private:
    Display* display;
    XErrorHandler previous;
};

std::optional<std::vector<unsigned long>> ReadCardinals(Display* display, Window window, const char* name, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(display, name, False);
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format, &count, &remaining,
                           &data) != Success ||
        !data) {
        return std::nullopt;
    }
    std::vector<unsigned long> values;
    if (format == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        values.assign(items, items + count);
    }
    XFree(data);
    if (values.empty()) {
        return std::nullopt;
    }
    return values;
}
} // namespace

std::unique_ptr<X11WindowSwitcher> X11WindowSwitcher::Open(bool xwayland)
{
    if (!std::getenv("DISPLAY")) {
        return nullptr;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return nullptr;
    }
    return std::unique_ptr<X11WindowSwitcher>(new X11WindowSwitcher(display, xwayland));
}

X11WindowSwitcher::X11WindowSwitcher(_XDisplay* display, bool xwayland)
    : display(display)
    , root(DefaultRootWindow(display))
    , activeWindowAtom(XInternAtom(display, "_NET_ACTIVE_WINDOW", False))
    , xwayland(xwayland)
{
    XSelectInput(display, root, PropertyChangeMask);
    NoteActiveWindow();
}

X11WindowSwitcher::~X11WindowSwitcher()
{
    XCloseDisplay(display);
}

int X11WindowSwitcher::EventDescriptor() const
{
    return XConnectionNumber(display);
}

void X11WindowSwitcher::ProcessEvents()
{
    // Reading the active window may queue further events without the connection becoming readable again, so the
    // queue is looked at again after each reading.
    for (;;) {
        bool activeChanged = false;
        while (XPending(display) > 0) {
            XEvent event{};
            XNextEvent(display, &event);
            if (event.type == PropertyNotify && event.xproperty.atom == activeWindowAtom) {
                activeChanged = true;
            }
        }
        if (!activeChanged) {
            return;
        }
        NoteActiveWindow();
    }
}

void X11WindowSwitcher::NoteActiveWindow()
{
    IgnoredErrors guard(display);
    const auto active = ReadCardinals(display, root, "_NET_ACTIVE_WINDOW", XA_WINDOW);
    const unsigned long now = active ? active->front() : None;
    if (now != None && !IsOwnWindow(now)) {
        previousWindow = now;
    }
    if (now == None && activeWindow != None) {
        previousLeftAt = std::chrono::steady_clock::now();
    }
    activeWindow = now;
}

void X11WindowSwitcher::NoteOwnActivation()
{
    ProcessEvents();
    ownActivatedAt = std::chrono::steady_clock::now();
    if (activeWindow != None) {
        // XWayland hears of the change after the program: the window still active there is the one left.
        previousLeftAt = ownActivatedAt;
    }
}

bool X11WindowSwitcher::IsActiveAndFocused(unsigned long window) const
{
    return window != None && window == activeWindow && !IsOwnWindow(window) && HasFocus(window);
}

unsigned long X11WindowSwitcher::XWaylandTarget()
{
    // From the tray menu the user's window keeps the keyboard: when that is an X11 window, it is the target as it is.
    if (IsActiveAndFocused(activeWindow)) {
        return activeWindow;
    }
    const auto gap =
        previousLeftAt > ownActivatedAt ? previousLeftAt - ownActivatedAt : ownActivatedAt - previousLeftAt;
    const bool bothSeen = previousLeftAt != std::chrono::steady_clock::time_point() &&
                          ownActivatedAt != std::chrono::steady_clock::time_point();
    return previousWindow != 0 && activeWindow == None && bothSeen && gap <= SameActivationChange ? previousWindow : 0;
}

bool X11WindowSwitcher::IsOwnWindow(unsigned long window) const
{
    const auto process = ReadCardinals(display, window, "_NET_WM_PID", XA_CARDINAL);
    return process && process->front() == static_cast<unsigned long>(getpid());
}

bool X11WindowSwitcher::SupportsActivation() const
{
    const auto supported = ReadCardinals(display, root, "_NET_SUPPORTED", XA_ATOM);
    if (!supported || !ReadCardinals(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW)) {
        return false;
    }
    for (const unsigned long atom : *supported) {
        if (atom == activeWindowAtom) {
            return true;
        }
    }
    return false;
}

bool X11WindowSwitcher::HasFocus(unsigned long window) const
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    // The focus may rest on a child of the program's top-level window.
    while (focus != None && focus != PointerRoot && focus != root) {
        if (focus == window) {
            return true;
        }
        Window rootReturn = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, focus, &rootReturn, &parent, &children, &count)) {
            return false;
        }
        if (children) {
            XFree(children);
        }
        focus = parent;
    }
    return false;
}

unsigned long X11WindowSwitcher::TopmostOtherWindow() const
{
    IgnoredErrors guard(display);
    const auto stacking = ReadCardinals(display, root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    if (!stacking) {
        return 0;
    }
    for (auto window = stacking->rbegin(); window != stacking->rend(); ++window) {
        if (!IsOwnWindow(*window)) {
            return *window;
        }
    }
    return 0;
}

WindowReturn X11WindowSwitcher::ReturnToPreviousWindow()
{
    ProcessEvents();
    if (xwayland) {
        const unsigned long target = XWaylandTarget();
        if (target == 0) {
            return WindowReturn::WaylandWindow;
        }
        return target == activeWindow ? WindowReturn::Returned : Activate(target);
    }
    if (!SupportsActivation()) {
        return WindowReturn::NotSupported;
    }
    if (previousWindow == 0) {
        // No other program was active since ours started: the one just below ours is the best guess.
        previousWindow = TopmostOtherWindow();
    }
    if (previousWindow == 0) {
        return WindowReturn::NotSupported;
    }
    return Activate(previousWindow);
}

WindowReturn X11WindowSwitcher::Activate(unsigned long window)
{
    IgnoredErrors guard(display);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window;
    request.xclient.message_type = activeWindowAtom;
    request.xclient.format = 32;
    request.xclient.data.l[0] = PagerSource;
    request.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    XFlush(display);

    const auto deadline = std::chrono::steady_clock::now() + FocusTimeout;
    while (!HasFocus(window)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return WindowReturn::Failed;
        }
        std::this_thread::sleep_for(FocusPollInterval);
    }
    return WindowReturn::Returned;
}
