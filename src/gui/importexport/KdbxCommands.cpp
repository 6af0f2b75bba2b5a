#include "gui/importexport/KdbxCommands.h"

#include <chrono>

#include "core/common/Utf.h"
#include "core/importexport/ExportFile.h"
#include "core/importexport/kdbx/KdbxReader.h"
#include "core/importexport/kdbx/KdbxWriter.h"
#include "core/passgen/RandomSource.h"
#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/common/FileChooser.h"
#include "gui/common/QtText.h"
#include "gui/importexport/DlgImportKdbx.h"
#include "gui/importexport/DlgKdbxPassword.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/CommandTicket.h"

namespace {
constexpr int ImportTip = 1;
const QString KdbxFilter = QStringLiteral("*.kdbx;;*");

std::u16string Summary(const ITextSource& texts, const ImportCounts& counts, const KdbxImport& read)
{
    return QtText(texts, TextId::KdbxImportSummary)
        .arg(counts.added)
        .arg(counts.renamed)
        .arg(read.historyLeftOut)
        .arg(read.recycleBinLeftOut)
        .arg(read.attachmentsLeftOut)
        .toStdU16String();
}

// Asks for the password until the file opens, the user cancels or the file fails for another reason.
std::optional<KdbxImport> ReadWithPassword(CommandTicket& ticket, const std::filesystem::path& path)
{
    for (;;) {
        CDlgKdbxPassword dialog(CDlgKdbxPassword::Mode::Open, ticket.Texts(), ticket.Files(), path, ticket.Window());
        if (dialog.exec() != QDialog::Accepted || !ticket.Confirm()) {
            return std::nullopt;
        }
        KdbxReadResult result = KdbxReadResult::Failed;
        std::optional<KdbxImport> read;
        // Reading needs only the reporter and the texts of a collection; the open database is left alone.
        const CDataBase reader(ticket.Reporter(), ticket.Texts());
        ticket.Lifecycle().Work().Run(FileWork::Reading,
                                      [&] { read = ReadKdbxFile(reader, path, dialog.Credentials(), &result); });
        if (result != KdbxReadResult::WrongKey) {
            return read;
        }
    }
}

std::int64_t Now()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}
} // namespace

void ImportKdbxDatabase(CommandTicket& ticket)
{
    ticket.Prompts().ShowTip(ImportTip, TextId::BackupBeforeImportTip);
    if (!ticket.Confirm()) {
        return;
    }
    const auto path = ticket.Files().ChooseFileToOpen(KdbxFilter);
    // The header is checked first, so that a file we cannot read is refused before its password is typed.
    if (!path || !CheckKdbxFile(CDataBase(ticket.Reporter(), ticket.Texts()), *path)) {
        return;
    }
    std::optional<KdbxImport> read = ReadWithPassword(ticket, *path);
    if (!read) {
        return;
    }
    // The preview shows the file's entries: it closes when the database locks or closes.
    CDlgImportKdbx preview(ticket.Texts(), *path, *read, ticket.Window());
    if (ticket.ExecShowingEntries(preview) != QDialog::Accepted) {
        return;
    }
    ImportCounts counts;
    const ChangeResult result = ticket.Session().ImportEntries(FileWork::Importing, [&](CDataBase& into) {
        counts = AddOtherExport(into, std::move(read->read));
        return true;
    });
    // A failed save has told the user already; counting entries that are not in the file would mislead.
    if (result == ChangeResult::Saved) {
        ticket.Reporter().ShowMessage(Summary(ticket.Texts(), counts, *read), MessageIcon::Information);
    }
}

void ExportKdbxDatabase(CommandTicket& ticket)
{
    const std::u16string stem = std::filesystem::path(ticket.Session().FileName()).stem().u16string();
    const auto path = ticket.Files().ChooseFileToSave(ToQString(stem + u".kdbx"));
    if (!path) {
        return;
    }
    CDlgKdbxPassword dialog(CDlgKdbxPassword::Mode::New, ticket.Texts(), ticket.Files(), *path, ticket.Window());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    bool written = false;
    const bool ran = ticket.Session().Work(FileWork::Exporting, [&](CDataBase& database) {
        written = WriteExportFile(database.Reporter(), *path, [&] {
            return WriteKdbx(database, stem, dialog.Credentials(), {}, OsRandom(), Now());
        });
    });
    if (ran && written) {
        ticket.Reporter().ShowMessage(ticket.Texts().Text(TextId::KdbxFileCreated) + u" " + Utf8ToUtf16(path->string()),
                                      MessageIcon::Information);
    }
}

void AddKdbxCommands(CommandTable& table)
{
    table.Add({CommandId::FileImportKdbx, Enabled::WithDatabase, ImportKdbxDatabase});
    table.Add({CommandId::FileExportKdbx, Enabled::WithDatabase, ExportKdbxDatabase});
}
