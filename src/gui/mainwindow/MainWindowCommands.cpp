#include "gui/mainwindow/MainWindowCommands.h"

#include "gui/importexport/CsvCommands.h"
#include "gui/importexport/KdbxCommands.h"
#include "gui/importexport/OtherImportCommand.h"
#include "gui/importexport/PrintCommand.h"
#include "gui/mainwindow/DatabaseCommands.h"
#include "gui/mainwindow/EntryCommands.h"
#include "gui/mainwindow/PasswordHealthCommand.h"
#include "gui/mainwindow/SynchronizeCommand.h"
#include "gui/mainwindow/ViewCommands.h"
#include "gui/mainwindow/WindowCommands.h"

CommandTable MainWindowCommands()
{
    CommandTable table;
    AddDatabaseCommands(table);
    AddEntryCommands(table);
    AddViewCommands(table);
    AddWindowCommands(table);
    AddCsvCommands(table);
    AddOtherImportCommand(table);
    AddKdbxCommands(table);
    AddPrintCommand(table);
    AddPasswordHealthCommand(table);
    AddSynchronizeCommand(table);
    return table;
}
