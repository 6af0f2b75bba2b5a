#pragma once

#include "gui/mainwindow/CommandTable.h"

// Every command of the main window: one line per file of commands. A new command goes into a file of its own (or
// the file of its kin) with a function that adds it to the table, and that function is called here.
CommandTable MainWindowCommands();
