#pragma once

// Says when the main window was minimised and when the user brought it back. Where the window system reports the
// window's state (X11), its report decides. A Wayland compositor never tells a program whether its window is
// minimised, and Qt reports the window as normal again right after asking for the minimise; there a minimise lasts
// until the window is activated again after it was inactive, which is how the user brings it back.
class WindowMinimising
{
public:
    enum class Change
    {
        None,
        Minimised,
        Restored,
    };

    explicit WindowMinimising(bool stateReported);
    // Whether the platform Qt runs on reports the window's state.
    static bool StateReportedHere();

    // The window's state changed; `active`: the window is the active one now.
    Change StateChanged(bool minimised, bool active);
    Change ActivationChanged(bool active);
    // The program shows the window itself, which ends a minimise whatever the window system says.
    void ShownAgain();
    bool IsMinimised() const { return minimised; }

private:
    bool stateReported;
    bool minimised = false;
    // Under Wayland: the window was inactive at some time since the minimise.
    bool inactiveSince = false;
};
