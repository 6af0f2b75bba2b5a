#include "gui/importexport/OtherImportCommand.h"

#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/common/FileChooser.h"
#include "gui/common/QtText.h"
#include "gui/importexport/DlgImportOther.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/CommandTicket.h"

namespace {
constexpr int ImportTip = 1;

std::u16string Summary(const ITextSource& texts, const ImportCounts& counts)
{
    return QtText(texts, TextId::OtherImportSummary)
        .arg(counts.added)
        .arg(counts.renamed)
        .arg(counts.skipped)
        .toStdU16String();
}
} // namespace

void ImportOtherManagerFile(CommandTicket& ticket)
{
    ticket.Prompts().ShowTip(ImportTip, TextId::BackupBeforeImportTip);
    if (!ticket.Confirm()) {
        return;
    }
    const auto path = ticket.Files().ChooseFileToOpen(CDlgImportOther::FileFilter);
    if (!path) {
        return;
    }
    // The preview shows the export's entries: it closes when the database locks or closes.
    CDlgImportOther dialog(ticket.Texts(), ticket.Files(), *path, ticket.Window(), ticket.Lifecycle().Work());
    if (ticket.ExecShowingEntries(dialog) != QDialog::Accepted) {
        return;
    }
    ImportCounts counts;
    auto entries = dialog.TakeEntries();
    const ChangeResult result = ticket.Session().ImportEntries(FileWork::Importing, [&](CDataBase& into) {
        counts = AddOtherExport(into, std::move(entries));
        return true;
    });
    // A failed save has told the user already; counting entries that are not in the file would mislead.
    if (result == ChangeResult::Saved) {
        ticket.Reporter().ShowMessage(Summary(ticket.Texts(), counts), MessageIcon::Information);
    }
}

void AddOtherImportCommand(CommandTable& table)
{
    table.Add({CommandId::FileImportOther, Enabled::WithDatabase, ImportOtherManagerFile});
}
