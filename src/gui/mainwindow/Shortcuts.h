#pragma once

#include <QKeySequence>
#include <vector>

class CMainMenu;

// The keyboard shortcuts of the main window's commands, after the desktop's conventions.
struct CommandShortcut
{
    int command;
    QKeySequence keys;
};
const std::vector<CommandShortcut>& CommandShortcuts();

// Puts the shortcuts on the menu items, where the menus show them beside their texts. A shortcut acts only while
// its item is there and enabled, so it never does what the menu would not offer; line edits keep their own
// editing keys (Ctrl+C, Delete), since the focused field takes a key before the window's shortcuts do.
void AssignShortcuts(const CMainMenu& menu);

// Moves the keyboard to the search field.
QKeySequence SearchShortcut();
