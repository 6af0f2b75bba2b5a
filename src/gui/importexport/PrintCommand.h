#pragma once

#include <filesystem>

class CDataBase;
class QPrinter;
class QWidget;

// Asks for a printer and prints every entry of the database on it, passwords in clear. The dialog always offers
// Qt's "Print to File (PDF)"; with no printer installed that is the choice it starts with, writing the database's
// file name with ".pdf" appended beside it. Cancel prints nothing. Returns whether the listing was printed.
bool PrintDatabase(const CDataBase& database, const std::filesystem::path& databaseFile, QWidget* window);

// Prints on the printer the user chose. A printer or PDF file that refuses the document is reported as a failure of
// printing, anything thrown as "An exception occurred."; both return false.
bool PrintOnChosenPrinter(QPrinter& printer, const CDataBase& database);
