#include "gui/mainwindow/Shortcuts.h"

#include <QAction>

#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/MainMenu.h"

using namespace CommandId;

const std::vector<CommandShortcut>& CommandShortcuts()
{
    static const std::vector<CommandShortcut> shortcuts = {
        {FileOpen, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {FileNew, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)},
        {FileLock, QKeySequence(Qt::CTRL | Qt::Key_L)},
        {EditAddEntry, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {EditEditEntry, QKeySequence(Qt::CTRL | Qt::Key_E)},
        {EditDeleteEntry, QKeySequence(Qt::Key_Delete)},
        {EditCopyUser, QKeySequence(Qt::CTRL | Qt::Key_B)},
        {EditCopyPassword, QKeySequence(Qt::CTRL | Qt::Key_C)},
        {EditCopyUrl, QKeySequence(Qt::CTRL | Qt::Key_U)},
        {EditOpenUrl, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U)},
        {EditAutoLogin, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)},
    };
    return shortcuts;
}

void AssignShortcuts(const CMainMenu& menu)
{
    for (const CommandShortcut& shortcut : CommandShortcuts()) {
        if (QAction* item = menu.Action(shortcut.command)) {
            item->setShortcut(shortcut.keys);
        }
    }
}

QKeySequence SearchShortcut()
{
    return QKeySequence(Qt::CTRL | Qt::Key_F);
}
