#include "gui/importexport/PrintCommand.h"

#include <QPrintDialog>
#include <QPrinter>

#include "core/database/DataBase.h"
#include "gui/importexport/PrintListing.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/CommandTicket.h"

namespace {
constexpr char16_t ExceptionMessage[] = u"An exception occurred.";
} // namespace

bool PrintDatabase(CommandTicket& ticket)
{
    try {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, ticket.Window());
        // Copies and collation stay with the printer; the listing is always printed whole.
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        bool printed = false;
        ticket.Session().Read([&](const CDataBase& entries) { printed = PrintListing(printer, entries); });
        return printed;
    } catch (...) {
        ticket.Reporter().ShowMessage(ExceptionMessage, MessageIcon::None);
        return false;
    }
}

void AddPrintCommand(CommandTable& table)
{
    table.Add(
        {CommandId::FileExportPrint, Enabled::WithDatabase, [](CommandTicket& ticket) { PrintDatabase(ticket); }});
}
