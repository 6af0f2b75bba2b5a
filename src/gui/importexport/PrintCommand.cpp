#include "gui/importexport/PrintCommand.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <filesystem>

#include "core/database/DataBase.h"
#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/importexport/PrintListing.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/CommandTicket.h"

namespace {
constexpr char16_t ExceptionMessage[] = u"An exception occurred.";

// Without a printer the dialog would start on nothing that prints; a PDF file is what the user can still get.
void StartWithPdfWhenNoPrinter(QPrinter& printer, const std::filesystem::path& databaseFile)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
        return;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    std::filesystem::path pdf = databaseFile;
    pdf += ".pdf";
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
}
} // namespace

bool PrintDatabase(CommandTicket& ticket)
{
    try {
        QPrinter printer(QPrinter::HighResolution);
        StartWithPdfWhenNoPrinter(printer, ticket.Lifecycle().Path());
        QPrintDialog dialog(&printer, ticket.Window());
        // Copies and collation stay with the printer; the listing is always printed whole. Printing to a file is
        // Qt's PDF output.
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        return PrintOnChosenPrinter(
            printer, [&](const auto& use) { return ticket.Session().Read(use); }, ticket.Reporter(), ticket.Texts());
    } catch (...) {
        ticket.Reporter().ShowMessage(ExceptionMessage, MessageIcon::None);
        return false;
    }
}

bool PrintOnChosenPrinter(QPrinter& printer, const PrintedEntries& entries, IMessageReporter& reporter,
                          const ITextSource& texts)
{
    bool printed = false;
    try {
        // The message waits until the entries are let go: nothing may wait for the user while they are read.
        if (!entries([&](const CDataBase& database) { printed = PrintListing(printer, database); })) {
            return false;
        }
    } catch (...) {
        reporter.ShowMessage(ExceptionMessage, MessageIcon::None);
        return false;
    }
    if (!printed) {
        reporter.ShowMessage(texts.Text(TextId::PrintFailed), MessageIcon::Error);
    }
    return printed;
}

void AddPrintCommand(CommandTable& table)
{
    table.Add(
        {CommandId::FileExportPrint, Enabled::WithDatabase, [](CommandTicket& ticket) { PrintDatabase(ticket); }});
}
