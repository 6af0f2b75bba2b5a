#include "gui/importexport/OtherImportCommand.h"

#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/common/FileChooser.h"
#include "gui/common/QtText.h"
#include "gui/importexport/DlgImportOther.h"
#include "gui/importexport/ImportSummary.h"

namespace {
constexpr int ImportTip = 1;
} // namespace

void ImportOtherManagerFile(const CsvCommandContext& context)
{
    if (!context.session.IsOpen()) {
        return;
    }
    const std::uint64_t startedWith = context.session.Generation();
    context.prompts.ShowTip(ImportTip, TextId::BackupBeforeImportTip);
    const auto path = context.files.ChooseFileToOpen(CDlgImportOther::FileFilter);
    if (!path) {
        return;
    }
    ImportCounts counts;
    const ChangeResult result = context.session.ImportEntries([&](CDataBase& into) {
        CDlgImportOther dialog(into, context.files, *path, context.window, context.session.Work());
        // The database may have been locked or closed while the preview was open.
        if (dialog.exec() != QDialog::Accepted || !context.session.CheckStillOpen(startedWith)) {
            return false;
        }
        auto entries = dialog.TakeEntries();
        const IdenticalEntries identical = dialog.Identical();
        context.session.Work().Run(FileWork::Importing,
                                   [&] { counts = AddOtherExport(into, std::move(entries), identical); });
        return true;
    });
    // A failed save has told the user already; counting entries that are not in the file would mislead.
    if (result == ChangeResult::Saved) {
        ShowImportSummary(context.database, counts);
    }
}
