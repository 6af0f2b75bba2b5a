#include "gui/importexport/DlgKdbxPassword.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/common/Utf.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/common/FileChooser.h"
#include "gui/common/QtText.h"
#include "gui/common/SecureText.h"
#include "gui/dialogs/DialogButtons.h"
#include "gui/dialogs/PasswordMasking.h"

CDlgKdbxPassword::CDlgKdbxPassword(Mode mode, const ITextSource& texts, IFileChooser& files,
                                   const std::filesystem::path& file, QWidget* parent)
    : QDialog(parent)
    , mode(mode)
    , texts(texts)
    , files(files)
    , password(new QLineEdit(this))
{
    setWindowTitle(QtText(texts, mode == Mode::Open ? TextId::OpenKdbxCaption : TextId::ExportKdbxCaption));
    const int promptId = mode == Mode::Open ? TextId::KdbxPasswordFor : TextId::NewKdbxPasswordFor;
    auto* prompt = new QLabel(QtText(texts, promptId) + QStringLiteral(" ") +
                                  QString::fromStdString(file.filename().string()) + QStringLiteral(":"),
                              this);
    prompt->setObjectName(QStringLiteral("prompt"));
    prompt->setWordWrap(true);
    password->setObjectName(QStringLiteral("password"));
    password->setMinimumWidth(260);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QtText(texts, TextId::PasswordLabel), this), 0, 0);
    grid->addWidget(password, 0, 1, 1, 2);
    if (mode == Mode::New) {
        repeat = new QLineEdit(this);
        repeat->setObjectName(QStringLiteral("repeat"));
        grid->addWidget(new QLabel(QtText(texts, TextId::RepeatLabel), this), 1, 0);
        grid->addWidget(repeat, 1, 1, 1, 2);
    } else {
        AddKeyFileRow(*grid);
    }
    // Made after the fields, since Tab follows the order of making: the password, then the repeat or the key file.
    auto* hideBox = new QCheckBox(QtText(texts, TextId::HidePasswordCheck), this);
    hideBox->setObjectName(QStringLiteral("hide"));
    if (repeat != nullptr) {
        ConnectMasking(*hideBox, {password, repeat});
    } else {
        ConnectMasking(*hideBox, {password});
    }
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    if (mode == Mode::New) {
        auto* advice = new QLabel(QtText(texts, TextId::SpecifyKdbxPassword), this);
        advice->setWordWrap(true);
        layout->addWidget(advice);
    }
    layout->addLayout(grid);
    layout->addWidget(hideBox);
    layout->addWidget(OkCancelButtons(*this, texts));
    setMinimumWidth(460);
}

CDlgKdbxPassword::~CDlgKdbxPassword()
{
    WipeString(credentials.password);
}

void CDlgKdbxPassword::AddKeyFileRow(QGridLayout& grid)
{
    keyFile = new QLineEdit(this);
    keyFile->setObjectName(QStringLiteral("keyFile"));
    auto* browse = new QPushButton(QtText(texts, TextId::Browse), this);
    browse->setObjectName(QStringLiteral("browseKeyFile"));
    connect(browse, &QPushButton::clicked, this, [this] {
        if (const auto chosen = files.ChooseFileToOpen(QString())) {
            keyFile->setText(QString::fromStdString(chosen->string()));
        }
    });
    grid.addWidget(new QLabel(QtText(texts, TextId::KeyFileOptional), this), 1, 0);
    grid.addWidget(keyFile, 1, 1);
    grid.addWidget(browse, 1, 2);
}

void CDlgKdbxPassword::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    password->setFocus();
}

void CDlgKdbxPassword::accept()
{
    if (mode == Mode::New) {
        // Qt strings compare UTF-16 code units exactly, as the passwords must be compared.
        const int problem = password->text() != repeat->text() ? TextId::MasterPasswordsDiffer
                            : password->text().isEmpty()       ? TextId::KdbxNeedsPassword
                                                               : -1;
        if (problem >= 0) {
            QMessageBox::warning(this, QStringLiteral("Lockmere"), QtText(texts, problem), QMessageBox::Ok);
            return;
        }
        repeat->clear();
    }
    credentials.password = TakeSecret(*password);
    if (keyFile != nullptr && !keyFile->text().isEmpty()) {
        credentials.keyFile = std::filesystem::path(keyFile->text().toStdString());
    }
    QDialog::accept();
}
