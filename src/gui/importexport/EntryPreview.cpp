#include "gui/importexport/EntryPreview.h"

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

#include "core/importexport/FieldNames.h"
#include "gui/common/QtText.h"
#include "gui/common/SecureText.h"
#include "gui/mainwindow/EntryListModel.h"

namespace {
QString PreviewText(const Entry& entry, EntryField field)
{
    if (field == EntryField::Password) {
        return QString::fromStdU16String(std::u16string(EntryListModel::HiddenText));
    }
    QString text = ToQString(FieldOf(entry, field));
    if (field == EntryField::Notes) {
        if (const qsizetype end = text.indexOf(QLatin1Char('\n')); end >= 0) {
            text.truncate(end > 0 && text[end - 1] == QLatin1Char('\r') ? end - 1 : end);
        }
    }
    return text;
}
} // namespace

QTableWidget* CreateEntryPreview(const ITextSource& texts, int rows, QWidget* parent)
{
    auto* preview = new QTableWidget(0, EntryFieldCount, parent);
    preview->setObjectName(QStringLiteral("preview"));
    QStringList headings;
    for (int field = 0; field < EntryFieldCount; ++field) {
        headings.append(QtText(texts, FieldNameTextId(static_cast<EntryField>(field))));
    }
    preview->setHorizontalHeaderLabels(headings);
    preview->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    preview->verticalHeader()->hide();
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview->setSelectionMode(QAbstractItemView::NoSelection);
    preview->setWordWrap(false);
    const int rowHeight = preview->verticalHeader()->defaultSectionSize();
    preview->setMinimumSize(720, preview->horizontalHeader()->sizeHint().height() + rowHeight * rows +
                                     2 * preview->frameWidth());
    return preview;
}

void ShowEntryPreview(QTableWidget& preview, const std::vector<const Entry*>& entries)
{
    const int shown = static_cast<int>(entries.size());
    preview.clearContents();
    preview.setRowCount(shown);
    for (int row = 0; row < shown; ++row) {
        const Entry& entry = *entries[static_cast<std::size_t>(row)];
        for (int field = 0; field < EntryFieldCount; ++field) {
            preview.setItem(row, field, new QTableWidgetItem(PreviewText(entry, static_cast<EntryField>(field))));
        }
    }
}
