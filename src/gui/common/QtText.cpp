#include "gui/common/QtText.h"

#include <QLineEdit>

SecureString TakeSecret(QLineEdit& field)
{
    // The edit field keeps its own buffer, which Qt does not let us wipe; emptying it at once keeps the time the
    // password lies there short.
    const QString text = field.text();
    SecureString secret(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
    field.clear();
    return secret;
}
