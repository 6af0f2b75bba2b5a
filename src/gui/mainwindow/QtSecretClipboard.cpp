#include "gui/mainwindow/QtSecretClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "gui/common/SecureText.h"

bool QtSecretClipboard::PutSecret(const SecureString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    auto* data = new QMimeData;
    // The hint is offered first. A compositor that keeps a copy of each selection to offer once its owner withdraws
    // it (weston keeps the first offered type) keeps the hint then, not the password, so withdrawing the copy on
    // Wayland takes the password off the clipboard.
    data->setData(QString::fromLatin1(PasswordManagerHint), QByteArrayLiteral("secret"));
    data->setText(ToQString(text));
    clipboard->setMimeData(data, QClipboard::Clipboard);
    return true;
}

bool QtSecretClipboard::Clear()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    clipboard->clear(QClipboard::Clipboard);
    return true;
}
