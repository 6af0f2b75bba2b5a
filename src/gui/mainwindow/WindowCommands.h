#pragma once

class CommandTable;

// The commands of the window itself, from the menu bar and the tray menu: Options, the help pages, About, Show and
// Exit.
void AddWindowCommands(CommandTable& table);
