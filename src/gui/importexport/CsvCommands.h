#pragma once

class CDataBase;
class DatabaseSession;
class IFileChooser;
class IPrompts;
class QWidget;

// What the CSV commands work on: the open database and the window's means of asking the user.
struct CsvCommandContext
{
    CDataBase& database;
    DatabaseSession& session;
    IPrompts& prompts;
    IFileChooser& files;
    QWidget* window;
};

// Shows the backup advice, then the import dialog; after an import saves the database and shows it anew. A failed
// save keeps the imported entries in memory, so that the next successful save writes them too.
void ImportCsvFile(const CsvCommandContext& context);
// Shows the export dialog, which asks for the file and writes it.
void ExportCsvFile(const CsvCommandContext& context);
