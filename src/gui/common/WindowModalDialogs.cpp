#include "gui/common/WindowModalDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QWindow>

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
            // The widget hands its modality to its native window only when that is made; this one exists already.
            if (QWindow* native = dialog->windowHandle()) {
                native->setModality(Qt::WindowModal);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
