#pragma once

class CommandTable;
class CommandTicket;

// Shows the backup advice, then the import dialog; after an import saves the database and shows it anew. A failed
// save keeps the imported entries in memory, so that the next successful save writes them too.
void ImportCsvFile(CommandTicket& ticket);
// Shows the export dialog, which asks for the file and writes it.
void ExportCsvFile(CommandTicket& ticket);
// File > Import > CSV File and File > Export > CSV File.
void AddCsvCommands(CommandTable& table);
