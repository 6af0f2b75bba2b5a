#include "gui/dialogs/DlgPasswordHealth.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/health/OfflineAttack.h"
#include "core/health/StrengthEstimate.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/common/QtText.h"
#include "gui/common/ScreenBound.h"
#include "gui/common/SecureText.h"

namespace {
// Where a row keeps the key of its entry.
constexpr int GroupRole = Qt::UserRole;
constexpr int TitleRole = Qt::UserRole + 1;
} // namespace

CDlgPasswordHealth::CDlgPasswordHealth(const CDataBase& database, const ITextSource& texts,
                                       std::vector<HealthFinding> findings, Analyze analyze, OpenEntry openEntry,
                                       QWidget* parent)
    : QDialog(parent)
    , database(database)
    , texts(texts)
    , analyze(std::move(analyze))
    , openEntry(std::move(openEntry))
    , rows(new QTreeWidget(this))
    , nothingFound(new QLabel(QtText(texts, TextId::NoHealthFindings), this))
{
    setWindowTitle(QtText(texts, TextId::PasswordHealth));
    rows->setObjectName(QStringLiteral("findings"));
    rows->setRootIsDecorated(false);
    rows->setUniformRowHeights(true);
    rows->setTextElideMode(Qt::ElideMiddle);
    rows->setHeaderLabels({QtText(texts, TextId::HealthFinding), QtText(texts, TextId::GroupItem),
                           QtText(texts, TextId::TitleItem), QtText(texts, TextId::UsernameItem),
                           QtText(texts, TextId::Strength)});
    connect(rows, &QTreeWidget::itemActivated, this, &CDlgPasswordHealth::OnRowActivated);
    nothingFound->setObjectName(QStringLiteral("nothingFound"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setText(QtText(texts, TextId::Close));
    // ENTER on a row opens its entry; it must not also reach Close as the dialog's default button.
    close->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(nothingFound);
    layout->addWidget(rows, 1);
    layout->addWidget(buttons);
    resize(760, 420);
    Fill(findings);
}

void CDlgPasswordHealth::Fill(const std::vector<HealthFinding>& findings)
{
    rows->clear();
    for (const HealthFinding& finding : findings) {
        if (finding.kind == HealthFindingKind::WeakMasterPassword) {
            // No entry to open: the row only tells, and the user changes it with File > Change Master Password.
            auto* row = new QTreeWidgetItem(rows);
            row->setText(FindingColumn, FindingText(finding));
            row->setText(TitleColumn, QtText(texts, TextId::MasterPasswordRow));
            row->setText(StrengthColumn, StrengthText(finding.bits));
        }
        for (const EntryKey& key : finding.entries) {
            const std::optional<Entry> entry = database.Find(key);
            auto* row = new QTreeWidgetItem(rows);
            row->setText(FindingColumn, FindingText(finding));
            row->setText(GroupColumn, ToQString(key.group));
            row->setText(TitleColumn, ToQString(key.title));
            row->setText(UsernameColumn, entry ? ToQString(entry->username) : QString());
            row->setText(StrengthColumn, StrengthText(finding.bits));
            for (int column = GroupColumn; column <= UsernameColumn; ++column) {
                row->setToolTip(column, row->text(column));
            }
            row->setData(0, GroupRole, ToQString(key.group));
            row->setData(0, TitleRole, ToQString(key.title));
        }
    }
    nothingFound->setVisible(findings.empty());
    for (int column = FindingColumn; column < StrengthColumn; ++column) {
        rows->resizeColumnToContents(column);
        rows->setColumnWidth(column, std::min(rows->columnWidth(column), MaxValueWidth(this)));
    }
}

QString CDlgPasswordHealth::FindingText(const HealthFinding& finding) const
{
    switch (finding.kind) {
    case HealthFindingKind::EmptyPassword:
        return QtText(texts, TextId::EmptyPasswordFinding);
    case HealthFindingKind::ReusedPassword:
        return QStringLiteral("%1 (%2 %3)")
            .arg(QtText(texts, TextId::ReusedPasswordFinding), QtText(texts, TextId::EntriesCount))
            .arg(finding.entries.size());
    case HealthFindingKind::WeakMasterPassword:
        return QStringLiteral("%1: %2").arg(QtText(texts, TextId::WeakMasterPasswordFinding),
                                            ToQString(DurationInWords(OfflineAttackSeconds(finding.bits), texts)));
    case HealthFindingKind::WeakPassword:
        break;
    }
    return QtText(texts, TextId::WeakPasswordFinding);
}

QString CDlgPasswordHealth::StrengthText(double bits) const
{
    const long rounded = std::lround(bits);
    return QStringLiteral("%1 (%2 %3)")
        .arg(QtText(texts, StrengthWordId(StrengthLevelOf(bits))))
        .arg(rounded)
        .arg(QtText(texts, rounded == 1 ? TextId::Bit : TextId::Bits));
}

void CDlgPasswordHealth::OnRowActivated(QTreeWidgetItem* row)
{
    if (!row->data(0, GroupRole).isValid()) {
        return;
    }
    const EntryKey key{ToSecureString(row->data(0, GroupRole).toString()),
                       ToSecureString(row->data(0, TitleRole).toString())};
    const int index = rows->indexOfTopLevelItem(row);
    openEntry(key);
    if (std::optional<std::vector<HealthFinding>> findings = analyze()) {
        Fill(*findings);
        // The keyboard stays where the user was, on the row that took the mended one's place.
        if (QTreeWidgetItem* next = rows->topLevelItem(std::min(index, rows->topLevelItemCount() - 1))) {
            rows->setCurrentItem(next);
        }
    } else {
        reject();
    }
}
