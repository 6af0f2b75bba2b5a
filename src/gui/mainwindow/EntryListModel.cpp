#include "gui/mainwindow/EntryListModel.h"

#include <QMimeData>
#include <algorithm>

#include "core/importexport/FieldNames.h"
#include "gui/common/QtText.h"
#include "gui/common/SecureText.h"

namespace {
EntryListModel::Rows SortedRows(const EntryListModel::Rows& rows, EntryField field, bool descending)
{
    // Comparing views of the stored strings keeps the sort free of copies; the shown text equals the stored one
    // for every field that is not hidden.
    std::vector<std::pair<std::u16string_view, CDataBase::const_iterator>> keys;
    keys.reserve(rows.size());
    for (const auto& row : rows) {
        keys.emplace_back(ValueOf(*row, field), row);
    }
    if (descending) {
        std::sort(keys.begin(), keys.end(),
                  [](const auto& left, const auto& right) { return right.first < left.first; });
    } else {
        std::sort(keys.begin(), keys.end(),
                  [](const auto& left, const auto& right) { return left.first < right.first; });
    }
    EntryListModel::Rows sorted;
    sorted.reserve(rows.size());
    for (const auto& key : keys) {
        sorted.push_back(key.second);
    }
    return sorted;
}

const SecureString& HiddenValue()
{
    static const SecureString hidden = ToSecure(EntryListModel::HiddenText);
    return hidden;
}
} // namespace

EntryListModel::EntryListModel(const CDataBase& database, const ITextSource& texts, QObject* parent)
    : QAbstractTableModel(parent)
    , database(database)
    , texts(texts)
{}

void EntryListModel::SetColumns(std::vector<EntryField> shown)
{
    beginResetModel();
    columns = std::move(shown);
    rows.clear();
    endResetModel();
}

void EntryListModel::Fill(const SecureString* group, bool hideUser, bool hidePass)
{
    SetRows(ListRows(database, group), hideUser, hidePass);
}

EntryListModel::Rows EntryListModel::ListRows(const CDataBase& database, const SecureString* group)
{
    Rows listed;
    if (group == nullptr) {
        listed.reserve(database.Size());
        for (auto item = database.begin(); item != database.end(); ++item) {
            listed.push_back(item);
        }
    } else {
        // Key order keeps a group's entries together, so the walk stops at the first entry of another group.
        auto item = std::find_if(database.begin(), database.end(),
                                 [group](const auto& candidate) { return candidate.first.group == *group; });
        for (; item != database.end() && item->first.group == *group; ++item) {
            listed.push_back(item);
        }
    }
    return listed;
}

void EntryListModel::SetRows(Rows listed, bool hideUser, bool hidePass)
{
    beginResetModel();
    hideUsernames = hideUser;
    hidePasswords = hidePass;
    rows = std::move(listed);
    endResetModel();
}

void EntryListModel::Clear()
{
    beginResetModel();
    rows.clear();
    columns.clear();
    endResetModel();
}

bool EntryListModel::IsHidden(EntryField field) const
{
    return (field == EntryField::Username && hideUsernames) || (field == EntryField::Password && hidePasswords);
}

void EntryListModel::SortByColumn(int column, bool descending, IBackgroundWork& work)
{
    if (column < 0 || column >= static_cast<int>(columns.size())) {
        return;
    }
    const EntryField field = columns[static_cast<std::size_t>(column)];
    if (IsHidden(field)) {
        // Every shown text is the same ten asterisks: all rows compare equal, and any order is the sorted one.
        return;
    }
    // The listed rows stay as they are, and may be painted, while the sorted order is worked out beside them.
    Rows sorted;
    work.Run(FileWork::Listing, [&] { sorted = SortedRows(rows, field, descending); });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<CDataBase::const_iterator> held;
    held.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) {
        held.push_back(rows[static_cast<std::size_t>(index.row())]);
    }
    rows = std::move(sorted);

    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype position = 0; position < before.size(); ++position) {
        const auto found = std::find(rows.begin(), rows.end(), held[static_cast<std::size_t>(position)]);
        after.push_back(index(static_cast<int>(found - rows.begin()), before[position].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int EntryListModel::ColumnOf(EntryField field) const
{
    const auto found = std::find(columns.begin(), columns.end(), field);
    return found == columns.end() ? -1 : static_cast<int>(found - columns.begin());
}

std::optional<EntryKey> EntryListModel::KeyAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(rows.size())) {
        return std::nullopt;
    }
    return rows[static_cast<std::size_t>(row)]->first;
}

int EntryListModel::RowOf(const EntryKey& key) const
{
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [&key](const CDataBase::const_iterator& row) { return row->first == key; });
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

const SecureString& EntryListModel::StoredValue(const QModelIndex& index) const
{
    const auto& item = *rows[static_cast<std::size_t>(index.row())];
    return ValueOf(item, columns[static_cast<std::size_t>(index.column())]);
}

const SecureString& EntryListModel::ShownValue(int row, int column) const
{
    const EntryField field = columns[static_cast<std::size_t>(column)];
    return IsHidden(field) ? HiddenValue() : ValueOf(*rows[static_cast<std::size_t>(row)], field);
}

int EntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int EntryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns.size());
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const
{
    // A cell too narrow for its value shows the whole of it as the tool tip, as hidden as the cell itself.
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    QString shown = ToQString(ShownValue(index.row(), index.column()));
    // A row is one line high: line breaks of the notes show as blanks instead of pushing the text out of the cell.
    for (QChar& character : shown) {
        if (character == u'\n' || character == u'\r') {
            character = u' ';
        }
    }
    return shown;
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns.size())) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QtText(texts, FieldNameTextId(columns[static_cast<std::size_t>(section)]));
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags EntryListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList EntryListModel::mimeTypes() const
{
    return {QStringLiteral("text/plain")};
}

QMimeData* EntryListModel::mimeData(const QModelIndexList& indexes) const
{
    auto* data = new QMimeData;
    if (!indexes.isEmpty() && checkIndex(indexes.constFirst(), CheckIndexOption::IndexIsValid)) {
        data->setText(ToQString(StoredValue(indexes.constFirst())));
    } else {
        data->setText(QString());
    }
    return data;
}

Qt::DropActions EntryListModel::supportedDragActions() const
{
    return Qt::CopyAction;
}
