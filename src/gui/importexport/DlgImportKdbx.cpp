#include "gui/importexport/DlgImportKdbx.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/DialogButtons.h"
#include "gui/importexport/EntryPreview.h"

CDlgImportKdbx::CDlgImportKdbx(const ITextSource& texts, const std::filesystem::path& path, const KdbxImport& read,
                               QWidget* parent)
    : QDialog(parent)
    , skipIdentical(new QCheckBox(QtText(texts, TextId::SkipIdenticalEntries), this))
{
    setWindowTitle(QtText(texts, TextId::OpenKdbxCaption));
    auto* file = new QLabel(
        QtText(texts, TextId::FileLabel) + QStringLiteral(" ") + QString::fromStdString(path.string()), this);
    file->setObjectName(QStringLiteral("file"));
    QTableWidget* preview = CreateEntryPreview(texts, PreviewRows, this);
    ShowEntryPreview(*preview, FirstEntriesOfFile(read.read, PreviewRows));
    auto* counts = new QLabel(QtText(texts, TextId::KdbxPreviewCounts)
                                  .arg(read.read.entries.size())
                                  .arg(read.historyLeftOut)
                                  .arg(read.recycleBinLeftOut)
                                  .arg(read.attachmentsLeftOut),
                              this);
    counts->setObjectName(QStringLiteral("counts"));
    counts->setWordWrap(true);
    skipIdentical->setObjectName(QStringLiteral("skipIdentical"));
    skipIdentical->setChecked(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(file);
    layout->addWidget(preview, 1);
    layout->addWidget(counts);
    layout->addWidget(skipIdentical);
    layout->addWidget(OkCancelButtons(*this, texts));
}

IdenticalEntries CDlgImportKdbx::Identical() const
{
    return skipIdentical->isChecked() ? IdenticalEntries::Skip : IdenticalEntries::Add;
}
