#include "gui/mainwindow/ClipboardClearer.h"

#include "core/settings/Options.h"
#include "gui/mainwindow/SecondTimer.h"
#include "gui/mainwindow/SecretClipboard.h"

ClipboardClearer::ClipboardClearer(ISecretClipboard& clipboard, ISecondTimer& timer, const COptions& options)
    : clipboard(clipboard)
    , timer(timer)
    , options(options)
{
    timer.SetTickHandler([this] { Tick(); });
}

void ClipboardClearer::Copy(const SecureString& text)
{
    if (!text.empty()) {
        clipboard.PutSecret(text);
    }
    // An empty value copies nothing but still counts down, so whatever the clipboard held before goes too.
    if (options.fClearClipboardTime) {
        clipboardTicks = 0;
        timer.Start();
    }
}

bool ClipboardClearer::ClearNow()
{
    return clipboard.Clear();
}

void ClipboardClearer::ClearAtExit()
{
    if (options.fClearClipboardExit) {
        clipboard.Clear();
    }
}

bool ClipboardClearer::IsCounting() const
{
    return timer.IsActive();
}

void ClipboardClearer::Tick()
{
    if (clipboardTicks < static_cast<std::uint32_t>(options.uClearClipboardTime)) {
        ++clipboardTicks;
        return;
    }
    timer.Stop();
    clipboardTicks = 0;
    clipboard.Clear();
}
