#pragma once

#include "core/common/Reporter.h"

// Shows the program's messages on standard error, one per line, in UTF-8, each after the program's name as the
// usage errors are, so that a message in a script's output says where it comes from.
class CCliReporter : public IMessageReporter
{
public:
    explicit CCliReporter(int descriptor)
        : descriptor(descriptor)
    {}
    void ShowMessage(const std::u16string& text, MessageIcon icon) override;

private:
    int descriptor;
};
