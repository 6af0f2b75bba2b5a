#include "gui/importexport/CsvCommands.h"

#include <optional>

#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/importexport/DlgExportCSV.h"
#include "gui/importexport/DlgImportCSV.h"
#include "gui/importexport/ImportSummary.h"
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
    // The described import tells nothing on success; entries left out are told, so that none seems lost.
    if (ticket.Session().SavePoured() == ChangeResult::Saved && dialog.Identical() == IdenticalEntries::Skip) {
        ShowImportSummary(ticket.Reporter(), ticket.Texts(), dialog.Counts());
    }
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
