#pragma once

#include <span>

class ITextSource;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// One row of a menu's text table: the item's command id and the id of its text.
struct MenuText
{
    int commandId;
    int textId;
};

// A by-position row with this text id leaves the item at that position as it is.
inline constexpr int KeepMenuItem = 0x7FFF;

// Renames menu items from the text table. Row i of `byPosition` names the top-level item at position i and gives it
// the row's command id (0 for an item that opens a submenu, which stays attached); `byCommand` renames the item that
// carries the command id anywhere in the menu. The command id of an item is kept in QAction::data() as an int.
void TranslateMenu(QMenuBar& menu, std::span<const MenuText> byPosition, std::span<const MenuText> byCommand,
                   const ITextSource& texts);
void TranslateMenu(QMenu& menu, std::span<const MenuText> byPosition, std::span<const MenuText> byCommand,
                   const ITextSource& texts);

// The first item carrying the command id, searched depth first through the submenus; nullptr when none has it.
QAction* FindMenuCommand(QWidget& menu, int commandId);
