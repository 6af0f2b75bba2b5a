#pragma once

#include <optional>

#include "gui/mainwindow/DesktopServices.h"

// A one-second timer that ticks only when the test says so.
class ManualTimer : public ISecondTimer
{
public:
    void Start() override { active = true; }
    void Stop() override { active = false; }
    bool IsActive() const override { return active; }
    void SetTickHandler(std::function<void()> handler) override { onTick = std::move(handler); }
    // Ticks the given number of seconds while the timer runs.
    void Tick(int seconds = 1)
    {
        for (int second = 0; second < seconds && active; ++second) {
            onTick();
        }
    }

private:
    bool active = false;
    std::function<void()> onTick;
};

// A clipboard that holds one text, or refuses everything when it does not work.
class RecordingClipboard : public ISecretClipboard
{
public:
    bool PutSecret(const SecureString& text) override
    {
        if (works) {
            held = text;
        }
        return works;
    }
    bool Clear() override
    {
        if (works) {
            held.reset();
        }
        return works;
    }

    std::optional<SecureString> held;
    bool works = true;
};

// The main window's desktop with fakes the test keeps hold of.
struct FakeDesktop
{
    explicit FakeDesktop(bool trayAvailable)
        : trayAvailable(trayAvailable)
    {}

    DesktopServices Services()
    {
        DesktopServices services;
        auto ownedClipboard = std::make_unique<RecordingClipboard>();
        auto ownedClipboardTimer = std::make_unique<ManualTimer>();
        auto ownedLockTimer = std::make_unique<ManualTimer>();
        auto ownedTrayWatchTimer = std::make_unique<ManualTimer>();
        clipboard = ownedClipboard.get();
        clipboardTimer = ownedClipboardTimer.get();
        lockTimer = ownedLockTimer.get();
        trayWatchTimer = ownedTrayWatchTimer.get();
        services.clipboard = std::move(ownedClipboard);
        services.clipboardTimer = std::move(ownedClipboardTimer);
        services.lockTimer = std::move(ownedLockTimer);
        services.trayWatchTimer = std::move(ownedTrayWatchTimer);
        services.trayAvailable = [this] { return trayAvailable; };
        return services;
    }

    bool trayAvailable;
    RecordingClipboard* clipboard = nullptr;
    ManualTimer* clipboardTimer = nullptr;
    ManualTimer* lockTimer = nullptr;
    ManualTimer* trayWatchTimer = nullptr;
};
