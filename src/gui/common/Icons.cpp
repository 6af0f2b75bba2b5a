#include "gui/common/Icons.h"

#include <QDir>

// The resources live in a static library, whose registration the linker would otherwise drop.
static void LoadIconResources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)loaded;
}

QIcon ThemeIcon(const char* themeName, const char* fallbackName)
{
    LoadIconResources();
    return QIcon::fromTheme(QString::fromLatin1(themeName),
                            QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(fallbackName))));
}

QIcon ProgramIcon()
{
    LoadIconResources();
    return QIcon(QStringLiteral(":/icons/lockmere.svg"));
}
