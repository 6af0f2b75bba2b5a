#pragma once

#include <string>

// The icon a message is shown with.
enum class MessageIcon
{
    None,
    Information,
    Warning,
    Error,
    Question,
};

// How the core tells the user something: the GUI shows a message box with an OK button, the CLI writes to
// standard error, tests record it.
class IMessageReporter
{
public:
    virtual ~IMessageReporter() = default;
    virtual void ShowMessage(const std::u16string& text, MessageIcon icon) = 0;
};
