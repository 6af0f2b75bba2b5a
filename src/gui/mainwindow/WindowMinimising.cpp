#include "gui/mainwindow/WindowMinimising.h"

#include <QGuiApplication>

WindowMinimising::WindowMinimising(bool stateReported)
    : stateReported(stateReported)
{}

bool WindowMinimising::StateReportedHere()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

WindowMinimising::Change WindowMinimising::StateChanged(bool nowMinimised, bool active)
{
    if (nowMinimised && !minimised) {
        minimised = true;
        // A window minimised while another program is active comes back with its next activation.
        inactiveSince = !active;
        return Change::Minimised;
    }
    if (!nowMinimised && minimised && stateReported) {
        minimised = false;
        return Change::Restored;
    }
    return Change::None;
}

WindowMinimising::Change WindowMinimising::ActivationChanged(bool active)
{
    if (stateReported || !minimised) {
        return Change::None;
    }
    // The activation the window still had when it was minimised is not the user's return.
    if (!active) {
        inactiveSince = true;
        return Change::None;
    }
    if (!inactiveSince) {
        return Change::None;
    }
    minimised = false;
    return Change::Restored;
}

void WindowMinimising::ShownAgain()
{
    minimised = false;
}
