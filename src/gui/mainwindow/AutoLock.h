#pragma once

#include <cstdint>
#include <functional>

class COptions;
class ISecondTimer;

// Locks the open database after `uLockDBAutoTime` seconds in which the program was not the active application.
// Time spent in the program, or with one of its dialogs open, never counts.
class AutoLock
{
public:
    // mayCount: a database is open and unlocked and no dialog of the program is open. lockNow: lock, then go to the
    // notification area.
    AutoLock(ISecondTimer& timer, const COptions& options, std::function<bool()> mayCount,
             std::function<void()> lockNow);

    void ApplicationDeactivated();
    void ApplicationActivated();
    bool IsCounting() const;

private:
    void Tick();

    ISecondTimer& timer;
    const COptions& options;
    std::function<bool()> mayCount;
    std::function<void()> lockNow;
    std::uint32_t lockTicks = 0;
};
