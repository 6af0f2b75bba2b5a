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
std::optional<KdbxImport> ReadWithPassword(const CsvCommandContext& context, const std::filesystem::path& path)
{
    for (;;) {
        CDlgKdbxPassword dialog(CDlgKdbxPassword::Mode::Open, context.database.Texts(), context.files, path,
                                context.window);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        KdbxReadResult result = KdbxReadResult::Failed;
        std::optional<KdbxImport> read;
        context.session.Work().Run(FileWork::Reading,
                                   [&] { read = ReadKdbxFile(context.database, path, dialog.Credentials(), &result); });
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

void ImportKdbxDatabase(const CsvCommandContext& context)
{
    if (!context.session.IsOpen()) {
        return;
    }
    const std::uint64_t startedWith = context.session.Generation();
    context.prompts.ShowTip(ImportTip, TextId::BackupBeforeImportTip);
    const auto path = context.files.ChooseFileToOpen(KdbxFilter);
    // The header is checked first, so that a file we cannot read is refused before its password is typed.
    if (!path || !CheckKdbxFile(context.database, *path)) {
        return;
    }
    std::optional<KdbxImport> read = ReadWithPassword(context, *path);
    if (!read) {
        return;
    }
    ImportCounts counts;
    const ChangeResult result = context.session.ImportEntries([&](CDataBase& into) {
        CDlgImportKdbx preview(into.Texts(), *path, *read, context.window);
        // The database may have been locked or closed while the dialogs were open.
        if (preview.exec() != QDialog::Accepted || !context.session.CheckStillOpen(startedWith)) {
            return false;
        }
        context.session.Work().Run(FileWork::Importing, [&] { counts = AddOtherExport(into, std::move(read->read)); });
        return true;
    });
    // A failed save has told the user already; counting entries that are not in the file would mislead.
    if (result == ChangeResult::Saved) {
        context.database.Reporter().ShowMessage(Summary(context.database.Texts(), counts, *read),
                                                MessageIcon::Information);
    }
}

void ExportKdbxDatabase(const CsvCommandContext& context)
{
    if (!context.session.IsOpen()) {
        return;
    }
    const std::u16string stem = std::filesystem::path(context.session.FileName()).stem().u16string();
    const auto path = context.files.ChooseFileToSave(ToQString(stem + u".kdbx"));
    if (!path) {
        return;
    }
    CDlgKdbxPassword dialog(CDlgKdbxPassword::Mode::New, context.database.Texts(), context.files, *path,
                            context.window);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    bool written = false;
    context.session.Work().Run(FileWork::Exporting, [&] {
        written = WriteExportFile(context.database.Reporter(), *path, [&] {
            return WriteKdbx(context.database, stem, dialog.Credentials(), {}, OsRandom(), Now());
        });
    });
    if (written) {
        context.database.Reporter().ShowMessage(context.database.Texts().Text(TextId::KdbxFileCreated) + u" " +
                                                    Utf8ToUtf16(path->string()),
                                                MessageIcon::Information);
    }
}
