#pragma once

#include <QObject>
#include <array>
#include <memory>
#include <optional>

#include "core/database/DataBase.h"
#include "core/database/SearchIndex.h"
#include "core/session/IBackgroundWork.h"

class COptions;
class EntryListModel;
class EntryListView;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The group tree and the entry list of the main window, kept in step with the collection: the tree narrows the
// list to one group, the list shows the chosen columns with hidden values masked, sorts, and tells which entry is
// current. The window owns it and places its two widgets.
class EntryViews : public QObject
{
    Q_OBJECT
public:
    // `work` walks the collection for a fill, so that a large one does not hold up the event loop.
    EntryViews(const CDataBase& database, const COptions& options, const ITextSource& texts, QWidget* parent,
               IBackgroundWork& work = InlineWork::Shared());

    QTreeWidget* GroupTree() const { return groupTree; }
    EntryListView* List() const { return list; }
    EntryListModel* Model() const { return model; }
    // The status-bar panes for the shown group and the number of listed rows.
    void SetStatusPanes(QLabel* groupPane, QLabel* countPane);

    // Sets the list's columns for the current settings and tree selection.
    void RebuildColumns();
    // Fills the tree (when asked) and the list from the collection, in key order; the fill resets any sorting.
    void FillViews(bool rebuildTree);
    // Empties the tree, the list and its columns, and the two status panes.
    void ClearViews();
    // Lists nothing until the next fill, keeping the tree and its selection: the collection is about to be replaced.
    void LetGoOfEntries();
    // The group chosen in the tree, when the tree is shown and a group (not the root) is selected.
    std::optional<SecureString> SelectedGroup() const;
    // Selects the tree's root, so that no group narrows the list.
    void SelectRoot();

    // The key of the list's selected row, or none.
    std::optional<EntryKey> CurrentKey() const;
    // The entry of the selected row as the collection holds it, or none.
    std::optional<Entry> CurrentEntry() const;
    void SelectKey(const EntryKey& key);
    void ClearSelectionMark();

    // Sorts by a field, alternating the direction as `sortToggle` remembers it.
    void Sort(EntryField field);
    // The field a header click on this column sorts by.
    std::optional<EntryField> FieldOfColumn(int column) const;

    // Direction memory of the six sorts, one flag per field in field order.
    std::array<bool, EntryFieldCount> sortToggle{true, false, false, false, false, false};

    // The sort memory and the sort applied to the list since its last fill, if any.
    struct SortState
    {
        std::array<bool, EntryFieldCount> toggle;
        std::optional<EntryField> field;
        bool descending = false;
    };
    SortState CurrentSort() const;

    // Lists the entries of every group that contain the term (any field but the password, ignoring case) under
    // the tree's root. Refills keep the search until it ends; the current entry stays selected while it matches.
    void Search(const SecureString& term);
    // Folds the searched text of every entry ahead of the first keystroke; kept until the collection changes.
    void PrepareSearch();
    // Lists the group again (the root when it is gone or none) with the sort it had, keeping the current entry.
    void EndSearch(const std::optional<SecureString>& group, const SortState& sort);

signals:
    // The list's selection changed; true when a row is now selected.
    void selectionChanged(bool hasSelection);
    void editRequested();
    // A right click on the list, at this global position.
    void contextMenuRequested(QPoint globalPosition);
    // The views dropped the search themselves: the entries went, or the user chose a group in the tree.
    void searchEnded();

private:
    void OnTreeSelectionChanged();
    void RebuildTree(const std::vector<const SecureString*>& groups, const std::optional<SecureString>& remembered);
    void ConnectSelection();
    void ShowStatus();
    void FillMatching();
    void ReapplySort();
    void ShowSortIndicator();
    void DropSearch();

    const CDataBase& database;
    const COptions& options;
    const ITextSource& texts;
    IBackgroundWork& work;
    QTreeWidget* groupTree;
    EntryListView* list;
    EntryListModel* model;
    QLabel* groupPane = nullptr;
    QLabel* countPane = nullptr;
    std::optional<EntryField> sortedField;
    bool sortedDescending = false;
    std::optional<SecureString> searchTerm;
    // Built ahead of a search, dropped with every refill of the tree, which is how a change of the collection
    // arrives, and when the views are cleared.
    std::unique_ptr<SearchIndex> searchIndex;
};
