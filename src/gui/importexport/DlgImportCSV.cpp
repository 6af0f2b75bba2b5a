#include "gui/importexport/DlgImportCSV.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/importexport/CsvFormat.h"
#include "core/importexport/FieldNames.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/common/FileChooser.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/DialogButtons.h"
#include "gui/importexport/FieldNumberBox.h"
#include "gui/importexport/FieldObjectNames.h"

namespace {
const QString CsvFilter = QStringLiteral("*.csv; *.txt");
} // namespace

CDlgImportCSV::CDlgImportCSV(IEntryAccess& entries, IFileChooser& files, QWidget* parent)
    : QDialog(parent)
    , entries(entries)
    , files(files)
    , header(new QCheckBox(QtText(entries.Texts(), TextId::Header), this))
{
    const ITextSource& texts = entries.Texts();
    setWindowTitle(QtText(texts, TextId::ImportFromCsvCaption));
    header->setObjectName(QStringLiteral("header"));

    auto* grid = new QGridLayout;
    for (int field = 0; field < EntryFieldCount; ++field) {
        const auto index = static_cast<std::size_t>(field);
        auto* group = new QGroupBox(QtText(texts, FieldNameTextId(static_cast<EntryField>(field))), this);
        auto* tick = new QCheckBox(QtText(texts, TextId::FieldNumber), group);
        tick->setObjectName(FieldObjectName(field));
        tick->setChecked(true);
        auto* number = new FieldNumberBox(field + 1, group);
        number->setObjectName(FieldObjectName(field) + QStringLiteral("Number"));
        number->setFixedWidth(56);
        // The number stays in a disabled edit, ready for the box to be ticked again.
        connect(tick, &QCheckBox::toggled, number, &QWidget::setEnabled);
        auto* row = new QHBoxLayout(group);
        row->addWidget(tick);
        row->addStretch(1);
        row->addWidget(number);
        grid->addWidget(group, field / 2, field % 2);
        fieldTicks[index] = tick;
        numbers[index] = number;
    }

    QDialogButtonBox* buttons = OkCancelButtons(*this, texts);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::array<int, EntryFieldCount> CDlgImportCSV::FieldNumbers() const
{
    std::array<int, EntryFieldCount> result{};
    for (std::size_t field = 0; field < result.size(); ++field) {
        result[field] = fieldTicks[field]->isChecked() ? numbers[field]->Number() : CsvImportOptions::NotMapped;
    }
    return result;
}

void CDlgImportCSV::accept()
{
    CsvImportOptions options;
    options.fieldNumbers = FieldNumbers();
    if (HasEqualFieldNumbers(options.fieldNumbers)) {
        entries.Reporter().ShowMessage(entries.Texts().Text(TextId::FieldNumbersDiffer), MessageIcon::Warning);
        return;
    }
    const auto path = files.ChooseFileToOpen(CsvFilter);
    if (!path) {
        return;
    }
    options.header = header->isChecked();
    bool imported = false;
    if (!entries.Work(FileWork::Importing, [&](CDataBase& into) { imported = ImportCsv(into, *path, options); })) {
        reject();
    } else if (imported) {
        QDialog::accept();
    }
}
