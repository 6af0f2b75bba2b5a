#pragma once

#include "core/common/Reporter.h"

// Shows the program's messages in a message box with an OK button and the message's icon, over the active window,
// always on the GUI thread.
class CGuiReporter : public IMessageReporter
{
public:
    void ShowMessage(const std::u16string& text, MessageIcon icon) override;
};
