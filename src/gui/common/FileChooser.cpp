#include "gui/common/FileChooser.h"

#include <QFileDialog>
#include <QFileInfo>

#include "gui/common/QtText.h"

namespace {
std::optional<std::filesystem::path> Run(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().constFirst().toStdString());
}
} // namespace

CFileChooser::CFileChooser(QWidget& parent, const std::u16string& lastPath)
    : parent(parent)
    , lastPath(lastPath)
{
    // At start-up the setting still names the database of the last run, even when it is not opened again.
    StartFolder();
}

QString CFileChooser::StartFolder()
{
    if (!lastPath.empty()) {
        lastFolder = QFileInfo(ToQString(lastPath)).absolutePath();
    }
    return lastFolder;
}

std::optional<std::filesystem::path> CFileChooser::ChooseFileToOpen(const QString& filter)
{
    QFileDialog dialog(&parent, QString(), StartFolder());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!filter.isEmpty()) {
        // Qt reads the patterns from the parentheses and shows only the description, which names them already.
        QStringList nameFilters;
        for (const QString& described : filter.split(QStringLiteral(";;"))) {
            QString patterns = described;
            patterns.replace(QStringLiteral(";"), QString());
            nameFilters.append(described + QStringLiteral(" (") + patterns + QStringLiteral(")"));
        }
        dialog.setNameFilters(nameFilters);
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    }
    return Run(dialog);
}

std::optional<std::filesystem::path> CFileChooser::ChooseFileToSave(const QString& proposedName)
{
    QFileDialog dialog(&parent, QString(), StartFolder());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(proposedName);
    return Run(dialog);
}
