#include "gui/app/GuiReporter.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "gui/common/SecureText.h"

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

} // namespace

void CGuiReporter::ShowMessage(const std::u16string& text, MessageIcon icon)
{
    // File work running on a worker thread reports through here too. Its thread waits while the GUI thread shows
    // the message, so the user sees the messages in the order reported and the work goes on after OK, as it would
    // on the GUI thread.
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [this, &text, icon] { ShowMessage(text, icon); },
            Qt::BlockingQueuedConnection);
        return;
    }
    QMessageBox box(BoxIcon(icon), QStringLiteral("Lockmere"), QStringOfUnits(text.data(), text.size()),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
