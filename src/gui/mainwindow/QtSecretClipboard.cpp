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
    data->setText(ToQString(text));
    data->setData(QString::fromLatin1(PasswordManagerHint), QByteArrayLiteral("secret"));
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
