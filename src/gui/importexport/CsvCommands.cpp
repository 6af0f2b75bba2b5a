#include "gui/importexport/CsvCommands.h"

#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/importexport/DlgExportCSV.h"
#include "gui/importexport/DlgImportCSV.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/CommandTicket.h"

namespace {
constexpr int ImportTip = 1;
} // namespace

void ImportCsvFile(CommandTicket& ticket)
{
    ticket.Prompts().ShowTip(ImportTip, TextId::BackupBeforeImportTip);
    if (!ticket.Confirm()) {
        return;
    }
    // The dialog pours the file's records into the collection through the ticket; the session then saves them.
    CDlgImportCSV dialog(ticket.Session(), ticket.Files(), ticket.Window());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    ticket.Session().SavePoured();
}

void ExportCsvFile(CommandTicket& ticket)
{
    CDlgExportCSV dialog(ticket.Session(), ticket.Files(), ticket.Session().FileName(), ticket.Window());
    dialog.exec();
}

void AddCsvCommands(CommandTable& table)
{
    table.Add({CommandId::FileImportCsv, Enabled::WithDatabase, ImportCsvFile});
    table.Add({CommandId::FileExportCsv, Enabled::WithDatabase, ExportCsvFile});
}
