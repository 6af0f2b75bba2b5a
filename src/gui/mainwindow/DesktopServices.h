#pragma once

#include <functional>
#include <memory>

#include "core/session/IFileTrash.h"
#include "gui/mainwindow/SecondTimer.h"
#include "gui/mainwindow/SecretClipboard.h"

// What the main window takes from the desktop beyond its widgets: the clipboard, the one-second timers of the
// clipboard and lock counts, whether the desktop has a notification area and the timer that keeps watching it, and
// its trash. Tests hand in their own.
struct DesktopServices
{
    std::unique_ptr<ISecretClipboard> clipboard;
    std::unique_ptr<ISecondTimer> clipboardTimer;
    std::unique_ptr<ISecondTimer> lockTimer;
    std::unique_ptr<ISecondTimer> trayWatchTimer;
    std::function<bool()> trayAvailable;
    // Where conflict copies go once synchronized; none: they are not offered.
    std::unique_ptr<IFileTrash> trash;

    // The session's clipboard, window timers and notification area.
    static DesktopServices Real();
};
