#include "gui/app/ShellWindow.h"

CShellWindow::CShellWindow()
{
    setWindowTitle(QStringLiteral("Lockmere"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    resize(640, 400);
}
