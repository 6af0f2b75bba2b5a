#include "gui/mainwindow/EntryListView.h"

#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

EntryListView::EntryListView(QWidget* parent)
    : QTableView(parent)
{
    // A table lays out only the rows on screen, where a tree view would lay out every row of a large list.
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setTextElideMode(Qt::ElideMiddle);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int EntryListView::SelectedRow() const
{
    if (!selectionModel()) {
        return -1;
    }
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void EntryListView::SelectRow(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount()) {
        ClearSelectionMark();
        return;
    }
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void EntryListView::ClearSelectionMark()
{
    if (selectionModel()) {
        selectionModel()->clear();
    }
}

QMimeData* EntryListView::DragData(QPoint position) const
{
    const QModelIndex index = indexAt(position);
    return model()->mimeData(index.isValid() ? QModelIndexList{index} : QModelIndexList{});
}

void EntryListView::mousePressEvent(QMouseEvent* event)
{
    pressPosition = event->position().toPoint();
    if (!indexAt(pressPosition).isValid()) {
        // A click beside the rows leaves no current entry, so no command acts on a row the user did not point at.
        ClearSelectionMark();
    }
    QTableView::mousePressEvent(event);
}

void EntryListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid()) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    SelectRow(index.row());
    event->accept();
    emit editRequested();
}

void EntryListView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && SelectedRow() >= 0) {
        event->accept();
        emit editRequested();
        return;
    }
    QTableView::keyPressEvent(event);
}

void EntryListView::startDrag(Qt::DropActions)
{
    QMimeData* data = DragData(pressPosition);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}
