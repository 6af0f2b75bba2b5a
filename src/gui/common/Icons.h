#pragma once

#include <QIcon>

// An icon of the desktop's theme, or our own drawing when the theme has none by that name.
QIcon ThemeIcon(const char* themeName, const char* fallbackName);

// The program's own icon, for windows and the About dialog.
QIcon ProgramIcon();
