#pragma once

#include <cstdint>

#include "core/common/SecureString.h"

class COptions;
class ISecondTimer;
class ISecretClipboard;

// Copies entry values to the clipboard and empties it again: about `uClearClipboardTime` + 1 seconds after the last
// copy when `fClearClipboardTime` is set, on command, and at exit when `fClearClipboardExit` is set. The timed
// clearing empties whatever the clipboard holds by then, so nothing copied in the meantime outlives the count.
class ClipboardClearer
{
public:
    ClipboardClearer(ISecretClipboard& clipboard, ISecondTimer& timer, const COptions& options);

    // Copies the text unless it is empty, and restarts the count either way.
    void Copy(const SecureString& text);
    // Empties the clipboard now without touching the count; false when it could not be emptied.
    bool ClearNow();
    void ClearAtExit();
    bool IsCounting() const;

private:
    void Tick();

    ISecretClipboard& clipboard;
    ISecondTimer& timer;
    const COptions& options;
    std::uint32_t clipboardTicks = 0;
};
