#pragma once

class CommandTable;
class CommandTicket;

// File > Import > KeePassXC Database: shows the backup advice, asks for the file (in the database's folder), its
// password and optional key file (again after a wrong one), previews what it holds and on OK adds its entries as
// every import does, saves the database once and reports what was added, renamed and left out.
void ImportKdbxDatabase(CommandTicket& ticket);
// File > Export > KeePassXC Database: asks for the file and its new password, then writes every entry into it.
void ExportKdbxDatabase(CommandTicket& ticket);
// Both commands, enabled while a database is open.
void AddKdbxCommands(CommandTable& table);
