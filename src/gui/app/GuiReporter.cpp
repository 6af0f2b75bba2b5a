#include "gui/app/GuiReporter.h"

#include <QApplication>
#include <QMessageBox>

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
    QMessageBox box(BoxIcon(icon), QStringLiteral("Lockmere"),
                    QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}
