#include "gui/importexport/DlgExportCSV.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/common/Utf.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/FieldNames.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/common/FileChooser.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/DialogButtons.h"
#include "gui/importexport/FieldObjectNames.h"

namespace {
constexpr char16_t CsvExtension[] = u".csv";
constexpr int CaptionAllowance = 120;
} // namespace

CDlgExportCSV::CDlgExportCSV(IEntryAccess& entries, IFileChooser& files, const std::u16string& databaseFileName,
                             QWidget* parent)
    : QDialog(parent)
    , entries(entries)
    , files(files)
    , proposedName(databaseFileName + CsvExtension)
    , header(new QCheckBox(QtText(entries.Texts(), TextId::Header), this))
    , delimiter(new QLineEdit(QStringLiteral(","), this))
{
    const ITextSource& texts = entries.Texts();
    setWindowTitle(QtText(texts, TextId::ExportToCsvCaption));
    header->setObjectName(QStringLiteral("header"));
    header->setChecked(true);

    auto* fieldBox = new QGroupBox(QtText(texts, TextId::Fields), this);
    // Wide enough for the window manager to show the whole caption above the small form.
    fieldBox->setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + CaptionAllowance);
    auto* fieldGrid = new QGridLayout(fieldBox);
    for (int field = 0; field < EntryFieldCount; ++field) {
        auto* box = new QCheckBox(QtText(texts, FieldNameTextId(static_cast<EntryField>(field))), fieldBox);
        box->setObjectName(FieldObjectName(field));
        box->setChecked(true);
        fieldGrid->addWidget(box, field % 3, field / 3);
        fields[static_cast<std::size_t>(field)] = box;
    }

    delimiter->setObjectName(QStringLiteral("delimiter"));
    delimiter->setMaxLength(1);
    delimiter->setFixedWidth(40);
    auto* delimiterLabel = new QLabel(QtText(texts, TextId::Delimiter), this);
    delimiterLabel->setBuddy(delimiter);
    auto* delimiterRow = new QHBoxLayout;
    delimiterRow->addWidget(delimiterLabel);
    delimiterRow->addWidget(delimiter);
    delimiterRow->addStretch(1);

    QDialogButtonBox* buttons = OkCancelButtons(*this, texts);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addWidget(fieldBox);
    layout->addLayout(delimiterRow);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlgExportCSV::accept()
{
    CsvExportOptions options;
    options.delimiter = delimiter->text().toStdU16String();
    const auto path = files.ChooseFileToSave(ToQString(proposedName));
    if (!path) {
        return;
    }
    options.header = header->isChecked();
    for (std::size_t field = 0; field < fields.size(); ++field) {
        options.fields[field] = fields[field]->isChecked();
    }
    bool written = false;
    if (!entries.Work(FileWork::Exporting,
                      [&](CDataBase& database) { written = ExportCsv(database, *path, options); })) {
        reject();
        return;
    }
    if (written) {
        entries.Reporter().ShowMessage(entries.Texts().Text(TextId::CsvFileCreated) + u" " +
                                           Utf8ToUtf16(path->string()),
                                       MessageIcon::Information);
    }
    QDialog::accept();
}
