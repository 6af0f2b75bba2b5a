#include "gui/app/GuiReporter.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>

#include "core/common/Utf.h"

namespace {
QMessageBox::Icon BoxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

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
} // namespace

CGuiReporter::CGuiReporter(std::optional<std::filesystem::path> testLog)
    : testLog(std::move(testLog))
{}

std::optional<std::filesystem::path> CGuiReporter::TestLogFromEnvironment()
{
    const char* path = std::getenv("LOCKMERE_TEST_MESSAGE_LOG");
    if (path == nullptr || *path == '\0') {
        return std::nullopt;
    }
    return std::filesystem::path(path);
}

void CGuiReporter::ShowMessage(const std::u16string& text, MessageIcon icon)
{
    QMessageBox box(BoxIcon(icon), QStringLiteral("Lockmere"),
                    QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok,
                    QApplication::activeWindow());
    if (testLog) {
        AppendToTestLog(text, icon);
        QTimer::singleShot(0, &box, &QMessageBox::accept);
    }
    box.exec();
}

void CGuiReporter::AppendToTestLog(const std::u16string& text, MessageIcon icon) const
{
    // One line per message; a line break inside a message is written as "\n".
    std::string line = std::string(IconName(icon)) + "\t";
    for (char character : Utf16ToUtf8(text)) {
        line += character == '\n' ? std::string("\\n") : std::string(1, character);
    }
    line += "\n";
    const int descriptor = ::open(testLog->c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (descriptor >= 0) {
        // A log that cannot be written only costs the test its evidence.
        [[maybe_unused]] const ssize_t written = ::write(descriptor, line.data(), line.size());
        ::close(descriptor);
    }
}
