#pragma once

#include <QHeaderView>
#include <QPoint>
#include <QTableView>

class QMimeData;

// The entry list as a report: single full-row selection, a click on empty space leaves no row selected, ENTER and
// a double click ask for the row to be edited, and a drag carries the value of the cell where it began.
class EntryListView : public QTableView
{
    Q_OBJECT
public:
    explicit EntryListView(QWidget* parent = nullptr);

    // The column headers, which sort the list when clicked.
    QHeaderView* header() const { return horizontalHeader(); }

    // The selected row (the selection mark), or -1.
    int SelectedRow() const;
    void SelectRow(int row);
    void ClearSelectionMark();
    // What a drag that begins at this viewport position carries: the stored value of the cell under it.
    QMimeData* DragData(QPoint position) const;

signals:
    void editRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    QPoint pressPosition;
};
