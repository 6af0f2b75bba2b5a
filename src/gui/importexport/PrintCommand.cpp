#include "gui/importexport/PrintCommand.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <filesystem>

#include "core/common/AtomicFile.h"
#include "core/common/Utf.h"
#include "core/database/DataBase.h"
#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/importexport/PdfListing.h"
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

bool ReportedFailure(IMessageReporter& reporter, const ITextSource& texts)
{
    reporter.ShowMessage(texts.Text(TextId::PrintFailed), MessageIcon::Error);
    return false;
}

// The messages wait until the entries are let go: nothing may wait for the user while they are read.
bool PrintOnPrinter(QPrinter& printer, const PrintedEntries& entries, IMessageReporter& reporter,
                    const ITextSource& texts)
{
    bool printed = false;
    if (!entries([&](const CDataBase& database) { printed = PrintListing(printer, database); })) {
        return false;
    }
    return printed || ReportedFailure(reporter, texts);
}

// Qt's PDF output would write the file itself, in place and with the usual permissions; the listing holds every
// password, so the document is made in memory and written as the database is: whole or not at all, for its owner.
bool SaveAsPdf(QPrinter& printer, const PrintedEntries& entries, IMessageReporter& reporter, const ITextSource& texts)
{
    std::optional<SecureBytes> document;
    if (!entries([&](const CDataBase& database) {
            document = RenderPdfListing(database, printer.pageLayout(), printer.resolution());
        })) {
        return false;
    }
    if (!document) {
        return ReportedFailure(reporter, texts);
    }
    if (!document->empty()) {
        WritePdfListing(printer.outputFileName().toStdString(), *document);
    }
    return true;
}
} // namespace

bool PrintDatabase(CommandTicket& ticket)
{
    try {
        QPrinter printer(QPrinter::HighResolution);
        StartWithPdfWhenNoPrinter(printer, ticket.Lifecycle().Path());
        QPrintDialog dialog(&printer, ticket.Window());
        // Copies and collation stay with the printer; the listing is always printed whole. Printing to a file gives
        // a PDF, which the program writes itself.
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
    try {
        return printer.outputFormat() == QPrinter::PdfFormat ? SaveAsPdf(printer, entries, reporter, texts)
                                                             : PrintOnPrinter(printer, entries, reporter, texts);
    } catch (const FileWriteError& error) {
        const std::u16string file = printer.outputFileName().toStdU16String();
        reporter.ShowMessage(texts.Text(TextId::PdfFileNotWritten) + u"\n" + file + u"\n" + Utf8ToUtf16(error.what()),
                             MessageIcon::Error);
    } catch (...) {
        reporter.ShowMessage(ExceptionMessage, MessageIcon::None);
    }
    return false;
}

void AddPrintCommand(CommandTable& table)
{
    table.Add(
        {CommandId::FileExportPrint, Enabled::WithDatabase, [](CommandTicket& ticket) { PrintDatabase(ticket); }});
}
