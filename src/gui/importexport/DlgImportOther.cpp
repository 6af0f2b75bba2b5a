#include "gui/importexport/DlgImportOther.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/settings/BuiltinTexts.h"
#include "gui/common/FileChooser.h"
#include "gui/common/QtText.h"
#include "gui/common/SecureText.h"
#include "gui/dialogs/DialogButtons.h"
#include "gui/importexport/EntryPreview.h"

namespace {
constexpr std::string_view AutoPreset = "auto";
constexpr int AutoItem = 0;
constexpr int PreviewPage = 0;
constexpr int RefusalPage = 1;

// The reader reports a refused file as a message; the dialog shows it in place instead of in a message box.
class RefusalCatcher : public IMessageReporter
{
public:
    void ShowMessage(const std::u16string& text, MessageIcon) override { message = text; }
    std::u16string message;
};

QString ProductName(ExportSource source)
{
    switch (source) {
    case ExportSource::KeePassXC:
        return QStringLiteral("KeePassXC");
    case ExportSource::Chrome:
        return QStringLiteral("Chrome/Chromium");
    case ExportSource::Firefox:
        return QStringLiteral("Firefox");
    case ExportSource::Bitwarden:
        return QStringLiteral("Bitwarden");
    case ExportSource::OnePassword:
        return QStringLiteral("1Password");
    case ExportSource::LastPass:
        return QStringLiteral("LastPass");
    case ExportSource::ApplePasswords:
        return QStringLiteral("Apple Passwords/Safari");
    case ExportSource::Dashlane:
        return QStringLiteral("Dashlane");
    case ExportSource::ProtonPass:
        return QStringLiteral("Proton Pass");
    case ExportSource::Lockmere:
        break;
    }
    return QStringLiteral("Lockmere");
}

QString PathText(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

} // namespace

const QString CDlgImportOther::FileFilter = QStringLiteral("*.csv;;*");

CDlgImportOther::CDlgImportOther(IEntryAccess& into, IFileChooser& files, std::filesystem::path path, QWidget* parent)
    : QDialog(parent)
    , into(into)
    , texts(into.Texts())
    , files(files)
    , path(std::move(path))
    , fileName(new QLineEdit(this))
    , format(new QComboBox(this))
    , pages(new QStackedWidget(this))
    , preview(CreateEntryPreview(texts, PreviewRows, pages))
    , refusal(new QPlainTextEdit(pages))
    , counts(new QLabel(this))
    , skipIdentical(new QCheckBox(QtText(texts, TextId::SkipIdenticalEntries), this))
{
    setWindowTitle(QtText(texts, TextId::ImportFromOtherManagerCaption));
    auto* form = new QFormLayout;
    form->addRow(QtText(texts, TextId::FileLabel), CreateFileRow());
    form->addRow(QtText(texts, TextId::ExportFormatLabel), format);
    CreateFormatChoice();
    CreatePages();
    counts->setObjectName(QStringLiteral("counts"));
    skipIdentical->setObjectName(QStringLiteral("skipIdentical"));
    skipIdentical->setChecked(true);
    connect(skipIdentical, &QCheckBox::toggled, this, &CDlgImportOther::ShowCounts);
    QDialogButtonBox* buttons = OkCancelButtons(*this, texts);
    ok = buttons->button(QDialogButtonBox::Ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(pages, 1);
    layout->addWidget(counts);
    layout->addWidget(skipIdentical);
    layout->addWidget(buttons);
    ReadFile();
}

QLayout* CDlgImportOther::CreateFileRow()
{
    fileName->setObjectName(QStringLiteral("file"));
    fileName->setReadOnly(true);
    auto* browse = new QPushButton(QtText(texts, TextId::Browse), this);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, &CDlgImportOther::Browse);
    auto* row = new QHBoxLayout;
    row->addWidget(fileName, 1);
    row->addWidget(browse);
    return row;
}

void CDlgImportOther::CreateFormatChoice()
{
    format->setObjectName(QStringLiteral("format"));
    format->addItem(QtText(texts, TextId::AutomaticFormat), QString::fromLatin1(AutoPreset));
    for (const std::string_view name : CExportPreset::Names()) {
        format->addItem(ProductName(CExportPreset::Named(name).front().source),
                        QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    connect(format, &QComboBox::currentIndexChanged, this, &CDlgImportOther::ReadFile);
}

void CDlgImportOther::CreatePages()
{
    refusal->setObjectName(QStringLiteral("refusal"));
    refusal->setReadOnly(true);
    // The known headers are long lines without blanks: they wrap anywhere rather than widen the dialog.
    refusal->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // The preview's room for its rows holds whichever page shows, so that the dialog keeps its size.
    pages->addWidget(preview);
    pages->addWidget(refusal);
}

OtherExport CDlgImportOther::TakeEntries()
{
    OtherExport taken = read ? std::move(*read) : OtherExport();
    read.reset();
    return taken;
}

IdenticalEntries CDlgImportOther::Identical() const
{
    return skipIdentical->isChecked() ? IdenticalEntries::Skip : IdenticalEntries::Add;
}

void CDlgImportOther::accept()
{
    // Enter reaches here even while OK is disabled for a refused file.
    if (read) {
        QDialog::accept();
    }
}

void CDlgImportOther::ReadFile()
{
    fileName->setText(PathText(path));
    const std::string preset = format->currentData().toString().toStdString();
    RefusalCatcher catcher;
    // Reading needs only the reporter and the texts of a collection; the open database is left alone.
    const CDataBase reader(catcher, texts);
    const bool ran = into.Work(FileWork::Reading, [&](const CDataBase& database) {
        read = ReadOtherExportFile(reader, path, preset);
        identicalCount = read ? CountIdentical(database, read->entries) : 0;
    });
    // The database has gone, the user told: there is nothing left to import into.
    if (!ran) {
        read.reset();
        reject();
    } else if (read) {
        ShowEntries(*read);
    } else {
        ShowRefusal(catcher.message);
    }
}

void CDlgImportOther::Browse()
{
    if (std::optional<std::filesystem::path> chosen = files.ChooseFileToOpen(FileFilter)) {
        path = std::move(*chosen);
        ReadFile();
    }
}

void CDlgImportOther::NameRecognisedFormat(std::optional<ExportSource> source)
{
    // Only the automatic choice says what it recognised; a format the user chose says nothing about the header.
    QString automatic = QtText(texts, TextId::AutomaticFormat);
    if (source && format->currentIndex() == AutoItem) {
        automatic += QStringLiteral(" (") + ProductName(*source) + QStringLiteral(")");
    }
    format->setItemText(AutoItem, automatic);
}

void CDlgImportOther::ShowEntries(const OtherExport& entries)
{
    NameRecognisedFormat(entries.source);
    ShowEntryPreview(*preview, FirstEntriesOfFile(entries, PreviewRows));
    pages->setCurrentIndex(PreviewPage);
    ShowCounts();
    ok->setEnabled(true);
}

void CDlgImportOther::ShowCounts()
{
    if (!read) {
        return;
    }
    const std::size_t skipped = skipIdentical->isChecked() ? identicalCount : 0;
    counts->setText(QtText(texts, TextId::ExportEntryCounts).arg(read->entries.size()).arg(skipped));
}

void CDlgImportOther::ShowRefusal(const std::u16string& message)
{
    NameRecognisedFormat(std::nullopt);
    preview->clearContents();
    preview->setRowCount(0);
    refusal->setPlainText(ToQString(message));
    pages->setCurrentIndex(RefusalPage);
    counts->clear();
    ok->setEnabled(false);
}
