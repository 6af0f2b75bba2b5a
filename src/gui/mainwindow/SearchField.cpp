#include "gui/mainwindow/SearchField.h"

#include <QKeyEvent>

#include "core/settings/BuiltinTexts.h"
#include "gui/common/QtText.h"
#include "gui/mainwindow/Shortcuts.h"

SearchField::SearchField(const ITextSource& texts, QWidget* parent)
    : QLineEdit(parent)
    , texts(texts)
{
    setObjectName(QStringLiteral("searchField"));
    setClearButtonEnabled(true);
    ApplyTexts();
}

void SearchField::ApplyTexts()
{
    setPlaceholderText(QStringLiteral("%1 (%2)").arg(QtText(texts, TextId::SearchPlaceholder),
                                                     SearchShortcut().toString(QKeySequence::NativeText)));
}

bool SearchField::event(QEvent* event)
{
    // Escape would otherwise reach the window's shortcut, which ends the program.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        !text().isEmpty()) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void SearchField::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        if (!text().isEmpty()) {
            clear();
            event->accept();
            return;
        }
        break;
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit listRequested();
        return;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

void SearchField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    emit focused();
}
