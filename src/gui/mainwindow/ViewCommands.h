#pragma once

class CommandTable;

// The commands on the current entry and the list that ask nothing: copying a field, typing into the previous
// window, opening the URL, clearing the clipboard and sorting.
void AddViewCommands(CommandTable& table);
