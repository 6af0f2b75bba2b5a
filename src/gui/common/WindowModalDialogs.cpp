#include "gui/common/WindowModalDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>

WindowModalDialogs::WindowModalDialogs(QObject* parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
}

bool WindowModalDialogs::eventFilter(QObject* watched, QEvent* event)
{
    // The show event comes before the dialog's window is mapped, while its modality can still change.
    if (event->type() == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog != nullptr && dialog->isWindow() && dialog->parentWidget() != nullptr &&
            dialog->windowModality() == Qt::ApplicationModal) {
            dialog->setWindowModality(Qt::WindowModal);
        }
    }
    return QObject::eventFilter(watched, event);
}
