#pragma once

class CommandTable;
class CommandTicket;

// Asks for another database file (a sync tool's conflict copy, another machine's file) and its password, and
// synchronizes it into the open database; the user is told what was added, skipped and kept twice.
void SynchronizeWithFile(CommandTicket& ticket);
// File > Synchronize...
void AddSynchronizeCommand(CommandTable& table);
