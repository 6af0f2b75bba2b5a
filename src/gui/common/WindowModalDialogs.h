#pragma once

#include <QObject>

// Makes every dialog that has a parent modal to its own window rather than to the whole program. A dialog modal to
// the program blocks the notification-area icon too, and with the main window hidden in the notification area the
// user could then neither reach the dialog nor the window. Dialogs stay modal to the window they were opened over.
class WindowModalDialogs : public QObject
{
    Q_OBJECT
public:
    // Watches the whole application while it lives.
    explicit WindowModalDialogs(QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
