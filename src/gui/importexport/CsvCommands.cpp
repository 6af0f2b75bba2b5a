#include "gui/importexport/CsvCommands.h"

#include "core/database/DatabaseSession.h"
#include "gui/importexport/DlgExportCSV.h"
#include "gui/importexport/DlgImportCSV.h"

namespace {
constexpr int ImportTip = 1;
constexpr int ImportTipText = 173;
} // namespace

void ImportCsvFile(const CsvCommandContext& context)
{
    if (!context.session.IsOpen()) {
        return;
    }
    context.prompts.ShowTip(ImportTip, ImportTipText);
    CDlgImportCSV dialog(context.database, context.files, context.window);
    if (dialog.exec() == QDialog::Accepted) {
        context.session.SaveAfterImport();
    }
}

void ExportCsvFile(const CsvCommandContext& context)
{
    if (!context.session.IsOpen()) {
        return;
    }
    CDlgExportCSV dialog(context.database, context.files, context.session.FileName(), context.window);
    dialog.exec();
}
