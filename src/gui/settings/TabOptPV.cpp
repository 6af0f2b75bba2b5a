#include "gui/settings/TabOptPV.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/common/Reporter.h"
#include "core/common/Utf.h"
#include "core/portable/PortableInstaller.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/portable/DlgPVInstall.h"
#include "platform/ProgramPath.h"
#include "platform/SettingsFolder.h"

CTabOptPV::CTabOptPV(const COptions& options, const ITextSource& texts, IMessageReporter& reporter, QWidget* parent)
    : OptionsPage(parent)
    , options(options)
    , texts(texts)
    , reporter(reporter)
    , path(new QLineEdit(this))
    , subfolder(MakeCheckBox(this, texts, TextId::PutIntoSubfolder, "subfolder", true))
    , copySettings(MakeCheckBox(this, texts, TextId::CopySettings, "copySettings", true))
    , copyDatabase(MakeCheckBox(this, texts, TextId::CopyDatabase, "copyDatabase", false))
{
    path->setObjectName(QStringLiteral("path"));
    copyDatabase->setEnabled(!options.LastPath.empty());

    auto* prompt = new QLabel(QtText(texts, TextId::SelectPortableTarget), this);
    prompt->setWordWrap(true);
    prompt->setBuddy(path);
    auto* browse = new QPushButton(QtText(texts, TextId::Browse), this);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, &CTabOptPV::Browse);
    auto* install = new QPushButton(QtText(texts, TextId::Install), this);
    install->setObjectName(QStringLiteral("install"));
    connect(install, &QPushButton::clicked, this, &CTabOptPV::Install);
    auto* explanation = new QLabel(QtText(texts, TextId::PortableAdvice), this);
    explanation->setWordWrap(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(prompt, 0, 0, 1, 2);
    layout->addWidget(path, 1, 0);
    layout->addWidget(browse, 1, 1);
    layout->addWidget(subfolder, 2, 0, 1, 2);
    layout->addWidget(copySettings, 3, 0, 1, 2);
    layout->addWidget(copyDatabase, 4, 0, 1, 2);
    layout->addWidget(install, 5, 1);
    layout->addWidget(explanation, 6, 0, 1, 2);
    layout->setRowStretch(7, 1);
}

void CTabOptPV::Browse()
{
    // Qt's own chooser, as everywhere in the program: a desktop's chooser would note the folder in the user's home.
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QString(), path->text(), QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!chosen.isEmpty()) {
        path->setText(chosen);
    }
}

void CTabOptPV::Install()
{
    const std::u16string target = path->text().toStdU16String();
    if (target.empty()) {
        reporter.ShowMessage(texts.Text(TextId::SpecifyInstallPath), MessageIcon::Error);
        return;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(Utf16ToUtf8(target), error)) {
        reporter.ShowMessage(texts.Text(TextId::InstallPathMissing), MessageIcon::Error);
        return;
    }
    const PortableRequest request{target, subfolder->isChecked(), copySettings->isChecked(), copyDatabase->isChecked()};
    CDlgPVInstall progress(
        PortableInstaller(request, options, texts, SystemEnvironment(ProgramPath().parent_path(), SettingsFilePath())),
        texts, reporter, this);
    progress.exec();
}
