#include "gui/mainwindow/AutoLock.h"

#include "core/settings/Options.h"
#include "gui/mainwindow/SecondTimer.h"

AutoLock::AutoLock(ISecondTimer& timer, const COptions& options, std::function<bool()> mayCount,
                   std::function<void()> lockNow)
    : timer(timer)
    , options(options)
    , mayCount(std::move(mayCount))
    , lockNow(std::move(lockNow))
{
    timer.SetTickHandler([this] { Tick(); });
}

void AutoLock::ApplicationDeactivated()
{
    if (options.fLockDBAuto && mayCount()) {
        lockTicks = 0;
        timer.Start();
    }
}

void AutoLock::ApplicationActivated()
{
    // Inactivity ends with the activation whatever else changed meanwhile: a count left running would lock the
    // database under the user's hands.
    timer.Stop();
}

bool AutoLock::IsCounting() const
{
    return timer.IsActive();
}

void AutoLock::Tick()
{
    if (lockTicks < static_cast<std::uint32_t>(options.uLockDBAutoTime)) {
        ++lockTicks;
        return;
    }
    timer.Stop();
    lockNow();
}
