#include "gui/importexport/PrintCommand.h"

#include <QPrintDialog>
#include <QPrinter>

#include "core/database/DataBase.h"
#include "gui/importexport/PrintListing.h"

namespace {
constexpr char16_t ExceptionMessage[] = u"An exception occurred.";
} // namespace

bool PrintDatabase(const CDataBase& database, QWidget* window)
{
    try {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, window);
        // Copies and collation stay with the printer; the listing is always printed whole.
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        return PrintListing(printer, database);
    } catch (...) {
        database.Reporter().ShowMessage(ExceptionMessage, MessageIcon::None);
        return false;
    }
}
