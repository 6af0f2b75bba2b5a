#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <vector>

#include "core/database/DataBase.h"
#include "core/session/IBackgroundWork.h"

// The entry list's rows: one per listed entry of the collection, read in place, so that a row costs one iterator
// and only the rows on screen are ever turned into text. Sorting re-orders the rows, never the collection.
// The rows point into the collection: whoever changes the collection fills the model again before the event
// loop next runs.
class EntryListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The ten asterisks shown in place of a hidden user name or password.
    static constexpr std::u16string_view HiddenText = u"**********";

    EntryListModel(const CDataBase& database, const ITextSource& texts, QObject* parent = nullptr);

    // The shown fields, in column order. The rows go too: the collection may have changed since they were listed,
    // and a fill follows.
    void SetColumns(std::vector<EntryField> shown);
    using Rows = std::vector<CDataBase::const_iterator>;

    // Lists the collection's entries in key order, all of them or those of one group (exact comparison).
    void Fill(const SecureString* group, bool hideUsernames, bool hidePasswords);
    // The rows Fill would list. Only reads the collection, so it may run on another thread while nothing changes it.
    static Rows ListRows(const CDataBase& database, const SecureString* group);
    // Lists rows made by ListRows from the model's collection.
    void SetRows(Rows listed, bool hideUsernames, bool hidePasswords);
    // No rows and no columns.
    void Clear();
    // Re-orders the rows by the shown texts of a column, ordinal on UTF-16 code units; `work` runs the sorting.
    void SortByColumn(int column, bool descending, IBackgroundWork& work = InlineWork::Shared());

    const std::vector<EntryField>& Columns() const { return columns; }
    // The column that shows a field, or -1 when it is not shown.
    int ColumnOf(EntryField field) const;
    std::optional<EntryKey> KeyAt(int row) const;
    // The row that lists the key, or -1.
    int RowOf(const EntryKey& key) const;
    // The stored value of the cell's field, also where the list shows asterisks.
    const SecureString& StoredValue(const QModelIndex& index) const;
    // The text the cell shows.
    const SecureString& ShownValue(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    // The stored value of the first index's cell as plain text.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    bool IsHidden(EntryField field) const;

    const CDataBase& database;
    const ITextSource& texts;
    std::vector<EntryField> columns;
    Rows rows;
    bool hideUsernames = false;
    bool hidePasswords = false;
};
