#include "gui/common/Icons.h"

QIcon ThemeIcon(const char* themeName, const char* fallbackName)
{
    return QIcon::fromTheme(QString::fromLatin1(themeName),
                            QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(fallbackName))));
}

QIcon ProgramIcon()
{
    return QIcon(QStringLiteral(":/icons/lockmere.svg"));
}
