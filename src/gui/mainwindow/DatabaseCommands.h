#pragma once

class CommandTable;

// The File menu's commands on the database itself: New, Open, Close, Create Backup, Change Password, Lock, the
// merge of another database, the text and HTML exports and Open Containing Folder.
void AddDatabaseCommands(CommandTable& table);
