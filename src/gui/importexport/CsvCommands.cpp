#include "gui/importexport/CsvCommands.h"

#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/importexport/DlgExportCSV.h"
#include "gui/importexport/DlgImportCSV.h"

namespace {
constexpr int ImportTip = 1;
} // namespace

void ImportCsvFile(const CsvCommandContext& context)
{
    if (!context.session.IsOpen()) {
        return;
    }
    context.prompts.ShowTip(ImportTip, TextId::BackupBeforeImportTip);
    // The dialog pours the file's records into the collection; the session then saves them.
    context.session.ImportEntries([&context](CDataBase& into) {
        CDlgImportCSV dialog(into, context.files, context.window, context.session.Work());
        return dialog.exec() == QDialog::Accepted;
    });
}

void ExportCsvFile(const CsvCommandContext& context)
{
    if (!context.session.IsOpen()) {
        return;
    }
    CDlgExportCSV dialog(context.database, context.files, context.session.FileName(), context.window,
                         context.session.Work());
    dialog.exec();
}
