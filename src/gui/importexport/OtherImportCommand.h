#pragma once

class CommandTable;
class CommandTicket;

// Shows the backup advice, asks for another password manager's export and previews it; on OK adds its entries as
// every import does, saves the database once and reports how many were added, renamed and skipped.
void ImportOtherManagerFile(CommandTicket& ticket);
// File > Import > Other Password Manager.
void AddOtherImportCommand(CommandTable& table);
