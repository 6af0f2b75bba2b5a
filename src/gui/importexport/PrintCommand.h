#pragma once

class CommandTable;
class CommandTicket;

// Asks for a printer and prints every entry of the database on it, passwords in clear. Cancel prints nothing; a
// printer that refuses the document ends the command silently; anything thrown is reported as "An exception
// occurred.". Returns whether the listing was printed.
bool PrintDatabase(CommandTicket& ticket);
// File > Export > Print.
void AddPrintCommand(CommandTable& table);
