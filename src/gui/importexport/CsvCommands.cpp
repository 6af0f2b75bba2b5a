#include "gui/importexport/CsvCommands.h"

#include <optional>

#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/importexport/DlgExportCSV.h"
#include "gui/importexport/DlgImportCSV.h"
#include "gui/importexport/ImportSummary.h"

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
    std::optional<ImportCounts> skipping;
    const ChangeResult result = context.session.ImportEntries([&](CDataBase& into) {
        CDlgImportCSV dialog(into, context.files, context.window, context.session.Work());
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        if (dialog.Identical() == IdenticalEntries::Skip) {
            skipping = dialog.Counts();
        }
        return true;
    });
    // The described import tells nothing on success; entries left out are told, so that none seems lost.
    if (result == ChangeResult::Saved && skipping) {
        ShowImportSummary(context.database, *skipping);
    }
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
