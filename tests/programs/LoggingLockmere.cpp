// The desktop program as the tests start it: the same application, but every message is appended to the file named
// by LOCKMERE_TEST_MESSAGE_LOG instead of waiting in a message box for a click, so that a test can read what the
// program said. Built for the tests only; the shipped program has no such switch.
#include <QApplication>
#include <cstdlib>
#include <fstream>

#include "core/common/Utf.h"
#include "gui/app/App.h"
#include "platform/ProcessHardening.h"

namespace {
const char* IconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return "information";
    case MessageIcon::Warning:
        return "warning";
    case MessageIcon::Error:
        return "error";
    case MessageIcon::Question:
        return "question";
    case MessageIcon::None:
        break;
    }
    return "none";
}

class LoggingReporter : public IMessageReporter
{
public:
    void ShowMessage(const std::u16string& text, MessageIcon icon) override
    {
        const char* log = std::getenv("LOCKMERE_TEST_MESSAGE_LOG");
        if (log == nullptr || *log == '\0') {
            return;
        }
        // One line per message; a line break inside a message is written as "\n".
        std::string line = std::string(IconName(icon)) + "\t";
        for (char character : Utf16ToUtf8(text)) {
            line += character == '\n' ? std::string("\\n") : std::string(1, character);
        }
        std::ofstream(log, std::ios::app | std::ios::binary) << line << '\n';
    }
};
} // namespace

int main(int argc, char* argv[])
{
    HardenProcess();
    QApplication application(argc, argv);
    LoggingReporter reporter;
    CApp app(reporter);
    return app.Run();
}
