#pragma once

#include <filesystem>
#include <optional>

#include "core/common/Reporter.h"

// Shows the program's messages in a message box with an OK button and the message's icon, over the active window.
class CGuiReporter : public IMessageReporter
{
public:
    // With a test log, every shown text is also appended to that file and the box closes by itself as soon as it is
    // up, so that tests which start the real program can see its messages and never wait for a click.
    explicit CGuiReporter(std::optional<std::filesystem::path> testLog = std::nullopt);

    // The file named by LOCKMERE_TEST_MESSAGE_LOG, if that is set.
    static std::optional<std::filesystem::path> TestLogFromEnvironment();

    void ShowMessage(const std::u16string& text, MessageIcon icon) override;

private:
    void AppendToTestLog(const std::u16string& text, MessageIcon icon) const;

    std::optional<std::filesystem::path> testLog;
};
