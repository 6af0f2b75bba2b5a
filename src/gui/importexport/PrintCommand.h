#pragma once

#include <functional>

class CDataBase;
class CommandTable;
class CommandTicket;
class IMessageReporter;
class ITextSource;
class QPrinter;

// Asks for a printer and prints every entry of the database on it, passwords in clear. The dialog always offers
// Qt's "Print to File (PDF)"; with no printer installed that is the choice it starts with, writing the database's
// file name with ".pdf" appended beside it. Cancel prints nothing. Returns whether the listing was printed.
bool PrintDatabase(CommandTicket& ticket);
// File > Export > Print.
void AddPrintCommand(CommandTable& table);

// Hands `use` the entries to print and says whether it did (a command's ticket refuses once its database has gone).
using PrintedEntries = std::function<bool(const std::function<void(const CDataBase&)>& use)>;

// Prints the entries on the printer the user chose. A PDF file is made in memory and written whole or not at all,
// readable by its owner only when it is new; one that cannot be written is reported with its name and the reason. A
// printer or PDF output that refuses the document is reported as a failure of printing, anything thrown as "An
// exception occurred."; all return false, as do entries that are gone.
bool PrintOnChosenPrinter(QPrinter& printer, const PrintedEntries& entries, IMessageReporter& reporter,
                          const ITextSource& texts);
