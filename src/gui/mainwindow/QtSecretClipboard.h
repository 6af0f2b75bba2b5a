#pragma once

#include "gui/mainwindow/SecretClipboard.h"

// The CLIPBOARD selection of the desktop, never the PRIMARY one, which any selection in another window overwrites.
// Copied text carries the hint that tells clipboard managers to keep no history of it. Clearing withdraws the copy; on
// Wayland, Qt then destroys its data source, which drops the selection whatever the input serial.
class QtSecretClipboard : public ISecretClipboard
{
public:
    static constexpr const char* PasswordManagerHint = "x-kde-passwordManagerHint";

    bool PutSecret(const SecureString& text) override;
    bool Clear() override;
};
