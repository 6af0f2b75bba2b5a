#include "gui/importexport/PrintCommand.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "core/database/DataBase.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/importexport/PrintListing.h"

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

bool PrintDatabase(const CDataBase& database, const std::filesystem::path& databaseFile, QWidget* window)
{
    try {
        QPrinter printer(QPrinter::HighResolution);
        StartWithPdfWhenNoPrinter(printer, databaseFile);
        QPrintDialog dialog(&printer, window);
        // Copies and collation stay with the printer; the listing is always printed whole. Printing to a file is
        // Qt's PDF output.
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        return PrintOnChosenPrinter(printer, database);
    } catch (...) {
        database.Reporter().ShowMessage(ExceptionMessage, MessageIcon::None);
        return false;
    }
}

bool PrintOnChosenPrinter(QPrinter& printer, const CDataBase& database)
{
    try {
        if (PrintListing(printer, database)) {
            return true;
        }
        database.Reporter().ShowMessage(database.Texts().Text(TextId::PrintFailed), MessageIcon::Error);
    } catch (...) {
        database.Reporter().ShowMessage(ExceptionMessage, MessageIcon::None);
    }
    return false;
}
