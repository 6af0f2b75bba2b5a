#include "gui/mainwindow/EntryViews.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <algorithm>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/common/QtText.h"
#include "gui/common/SecureText.h"
#include "gui/mainwindow/EntryListModel.h"
#include "gui/mainwindow/EntryListView.h"

namespace {
constexpr int ColumnWidth = 100;

// Each group once, in key order.
std::vector<const SecureString*> GroupsOf(const CDataBase& database)
{
    std::vector<const SecureString*> groups;
    for (const auto& item : database) {
        // Key order keeps equal groups together, so a group differing from the one before is a new one.
        if (groups.empty() || *groups.back() != item.first.group) {
            groups.push_back(&item.first.group);
        }
    }
    return groups;
}

// The optional columns after Title, with the setting that shows each.
struct OptionalColumn
{
    EntryField field;
    bool COptions::*shown;
};
const OptionalColumn OptionalColumns[] = {
    {EntryField::Username, &COptions::fColumn0},
    {EntryField::Password, &COptions::fColumn1},
    {EntryField::Url, &COptions::fColumn2},
    {EntryField::Notes, &COptions::fColumn3},
};
} // namespace

EntryViews::EntryViews(const CDataBase& database, const COptions& options, const ITextSource& texts, QWidget* parent,
                       IBackgroundWork& work)
    : QObject(parent)
    , database(database)
    , options(options)
    , texts(texts)
    , work(work)
    , groupTree(new QTreeWidget(parent))
    , list(new EntryListView(parent))
    , model(new EntryListModel(database, texts, this))
{
    groupTree->setObjectName(QStringLiteral("groupTree"));
    groupTree->setHeaderHidden(true);
    groupTree->setTextElideMode(Qt::ElideMiddle);
    groupTree->setRootIsDecorated(true);
    groupTree->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setObjectName(QStringLiteral("entryList"));
    list->setModel(model);

    connect(groupTree, &QTreeWidget::currentItemChanged, this, &EntryViews::OnTreeSelectionChanged);
    connect(list, &EntryListView::editRequested, this, &EntryViews::editRequested);
    connect(list, &QWidget::customContextMenuRequested, this,
            [this](QPoint position) { emit contextMenuRequested(list->viewport()->mapToGlobal(position)); });
    connect(list->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (const auto field = FieldOfColumn(column)) {
            Sort(*field);
        }
    });
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit selectionChanged(list->SelectedRow() >= 0); });
}

void EntryViews::SetStatusPanes(QLabel* group, QLabel* count)
{
    groupPane = group;
    countPane = count;
}

std::optional<SecureString> EntryViews::SelectedGroup() const
{
    const QTreeWidgetItem* item = groupTree->currentItem();
    if (!options.fGroupsTree || item == nullptr || item->parent() == nullptr) {
        return std::nullopt;
    }
    return ToSecureString(item->text(0));
}

void EntryViews::SelectRoot()
{
    if (QTreeWidgetItem* root = groupTree->topLevelItem(0)) {
        groupTree->setCurrentItem(root);
    }
}

void EntryViews::RebuildColumns()
{
    std::vector<EntryField> shown;
    if (!SelectedGroup()) {
        shown.push_back(EntryField::Group);
    }
    shown.push_back(EntryField::Title);
    for (const OptionalColumn& column : OptionalColumns) {
        if (options.*column.shown) {
            shown.push_back(column.field);
        }
    }
    model->SetColumns(std::move(shown));
    for (int column = 0; column < model->columnCount(); ++column) {
        list->setColumnWidth(column, ColumnWidth);
    }
}

void EntryViews::FillViews(bool rebuildTree)
{
    const std::optional<SecureString> remembered = SelectedGroup();
    // The rows listed so far may name entries that have just gone: none stays listed while the event loop runs
    // beside the walk below, and the list does not paint its empty state meanwhile.
    list->setUpdatesEnabled(false);
    model->SetRows({}, options.fHideUser, options.fHidePass);
    if (rebuildTree) {
        // A change of the collection arrives as a refill with the tree: the index may point at erased entries.
        searchIndex.reset();
    }
    std::vector<const SecureString*> groups;
    EntryListModel::Rows rows;
    // The walks over a large collection run beside the event loop, so that the window stays alive meanwhile.
    work.Run(FileWork::Listing, [&] {
        if (rebuildTree) {
            groups = GroupsOf(database);
        }
        const bool groupStays =
            remembered && (!rebuildTree || std::any_of(groups.begin(), groups.end(), [&](const SecureString* group) {
                return *group == *remembered;
            }));
        rows = EntryListModel::ListRows(database, groupStays ? &*remembered : nullptr);
    });
    if (rebuildTree) {
        RebuildTree(groups, remembered);
    }
    if (remembered && !SelectedGroup()) {
        // The remembered group has gone with its last entry: all entries are listed again, with their group.
        RebuildColumns();
    }
    sortedField.reset();
    if (searchTerm) {
        PrepareSearch();
        FillMatching();
    } else {
        model->SetRows(std::move(rows), options.fHideUser, options.fHidePass);
        ShowStatus();
    }
    ShowSortIndicator();
    list->setUpdatesEnabled(true);
}

void EntryViews::FillMatching()
{
    model->SetRows(searchIndex->Matching(*searchTerm), options.fHideUser, options.fHidePass);
    ShowStatus();
}

void EntryViews::Search(const SecureString& term)
{
    const std::optional<EntryKey> current = CurrentKey();
    if (SelectedGroup()) {
        const QSignalBlocker blocker(groupTree);
        SelectRoot();
        RebuildColumns();
    }
    searchTerm = term;
    PrepareSearch();
    FillMatching();
    // The matches keep the order the user sorted them in while typing on.
    ReapplySort();
    if (current) {
        SelectKey(*current);
    }
    emit selectionChanged(list->SelectedRow() >= 0);
}

void EntryViews::PrepareSearch()
{
    if (!searchIndex) {
        searchIndex = std::make_unique<SearchIndex>(database);
    }
}

void EntryViews::ReapplySort()
{
    const int column = sortedField ? model->ColumnOf(*sortedField) : -1;
    if (column >= 0) {
        model->SortByColumn(column, sortedDescending, work);
    } else {
        sortedField.reset();
    }
    ShowSortIndicator();
}

void EntryViews::EndSearch(const std::optional<SecureString>& group, const SortState& sort)
{
    const std::optional<EntryKey> current = CurrentKey();
    searchTerm.reset();
    {
        const QSignalBlocker blocker(groupTree);
        QTreeWidgetItem* root = groupTree->topLevelItem(0);
        QTreeWidgetItem* chosen = root;
        for (int child = 0; group && root && child < root->childCount(); ++child) {
            if (ToSecureString(root->child(child)->text(0)) == *group) {
                chosen = root->child(child);
            }
        }
        groupTree->setCurrentItem(chosen);
    }
    RebuildColumns();
    FillViews(false);
    sortToggle = sort.toggle;
    sortedField = sort.field;
    sortedDescending = sort.descending;
    ReapplySort();
    if (current) {
        SelectKey(*current);
    }
    emit selectionChanged(list->SelectedRow() >= 0);
}

void EntryViews::DropSearch()
{
    if (searchTerm) {
        searchTerm.reset();
        emit searchEnded();
    }
}

EntryViews::SortState EntryViews::CurrentSort() const
{
    return {sortToggle, sortedField, sortedDescending};
}

void EntryViews::RebuildTree(const std::vector<const SecureString*>& groups,
                             const std::optional<SecureString>& remembered)
{
    const QSignalBlocker blocker(groupTree);
    groupTree->clear();
    auto* root = new QTreeWidgetItem(groupTree, {QtText(texts, TextId::GeneralGroup)});
    QList<QTreeWidgetItem*> children;
    QTreeWidgetItem* chosen = root;
    for (const SecureString* group : groups) {
        auto* child = new QTreeWidgetItem(QStringList{ToQString(*group)});
        child->setToolTip(0, child->text(0));
        children.push_back(child);
        if (remembered && *remembered == *group) {
            chosen = child;
        }
    }
    root->addChildren(children);
    root->setExpanded(true);
    groupTree->setCurrentItem(chosen);
    groupTree->scrollToItem(root);
}

void EntryViews::OnTreeSelectionChanged()
{
    if (SelectedGroup()) {
        // Choosing a group shows that group: the search across all groups is over.
        DropSearch();
    }
    RebuildColumns();
    FillViews(false);
    emit selectionChanged(false);
}

void EntryViews::LetGoOfEntries()
{
    searchIndex.reset();
    model->SetRows({}, options.fHideUser, options.fHidePass);
}

void EntryViews::ClearViews()
{
    DropSearch();
    searchIndex.reset();
    sortedField.reset();
    {
        const QSignalBlocker blocker(groupTree);
        groupTree->clear();
    }
    model->Clear();
    if (groupPane) {
        groupPane->clear();
    }
    if (countPane) {
        countPane->clear();
    }
}

void EntryViews::ShowStatus()
{
    const std::optional<SecureString> group = SelectedGroup();
    if (groupPane) {
        groupPane->setText(group ? ToQString(*group) : QtText(texts, TextId::GeneralGroup));
    }
    if (countPane) {
        countPane->setText(QStringLiteral(" %1 %2").arg(model->rowCount()).arg(QtText(texts, TextId::Items)));
    }
}

std::optional<EntryKey> EntryViews::CurrentKey() const
{
    return model->KeyAt(list->SelectedRow());
}

std::optional<Entry> EntryViews::CurrentEntry() const
{
    const std::optional<EntryKey> key = CurrentKey();
    return key ? database.Find(*key) : std::nullopt;
}

void EntryViews::SelectKey(const EntryKey& key)
{
    list->SelectRow(model->RowOf(key));
}

void EntryViews::ClearSelectionMark()
{
    list->ClearSelectionMark();
}

std::optional<EntryField> EntryViews::FieldOfColumn(int column) const
{
    const auto& columns = model->Columns();
    if (column < 0 || column >= static_cast<int>(columns.size())) {
        return std::nullopt;
    }
    return columns[static_cast<std::size_t>(column)];
}

void EntryViews::Sort(EntryField field)
{
    const int column = model->ColumnOf(field);
    if (column < 0) {
        // No column for the field: Group while a group is selected, or a column switched off.
        return;
    }
    const auto index = static_cast<std::size_t>(field);
    const bool descending = sortToggle[index];
    sortToggle.fill(false);
    sortToggle[index] = !descending;
    model->SortByColumn(column, descending, work);
    sortedField = field;
    sortedDescending = descending;
    ShowSortIndicator();
}

void EntryViews::ShowSortIndicator()
{
    // The header's arrow tells which column the rows follow and which way; a fill in key order shows none.
    const int column = sortedField ? model->ColumnOf(*sortedField) : -1;
    QHeaderView* header = list->horizontalHeader();
    header->setSortIndicatorShown(column >= 0);
    header->setSortIndicator(column, sortedDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}
