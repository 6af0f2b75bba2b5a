#include "gui/common/QtText.h"

#include <QLineEdit>

SecureString TakeSecret(QLineEdit& field)
{
    QString text = field.text();
    SecureString secret(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
    text.fill(QChar(u'\0'));
    field.clear();
    return secret;
}
