#pragma once

#include "core/common/SecureString.h"

// The desktop's clipboard as the copy commands need it: put one text there, marked as a secret, or empty it.
class ISecretClipboard
{
public:
    virtual ~ISecretClipboard() = default;
    // False when the clipboard could not take the text.
    virtual bool PutSecret(const SecureString& text) = 0;
    // False when the clipboard could not be emptied.
    virtual bool Clear() = 0;
};
