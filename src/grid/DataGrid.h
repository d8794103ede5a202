#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>

class Dataset;
class QMenu;

// One column of a data grid: the field it shows (a field the list does not hold shows empty
// cells), its title ("upper|lower" for a two-level title; neighbouring columns with the same
// upper text share one upper cell), cell alignment, width, and whether numbers use "#0.##".
// Every member has an initialiser, so a column can be written with its leading members only.
struct GridColumn {
    enum class Footer { None, Text, Sum };

    QString field{};
    QString title{};
    Qt::Alignment alignment = Qt::AlignLeft;
    int width = 64;
    bool numberFormat = false;
    Footer footer = Footer::None;
    QString footerText{}; // for Footer::Text
};

// The list grid of the main window: shows a Dataset, follows its cursor and its changes, has
// an indicator column with multi-row selection, an optional footer row with a running sum,
// alternating row colours and clickable titles with sort marks. Cells are never edited in
// place.
class DataGrid : public QWidget {
    Q_OBJECT
public:
    DataGrid(Dataset* dataset, QWidget* parent = nullptr);
    ~DataGrid() override;

    void setColumns(const QList<GridColumn>& columns);
    void setFooterVisible(bool visible);
    // The menu shown on a right click.
    void setPopupMenu(QMenu* menu);

    Dataset* dataset() const;

    // Selected rows (indexes into the data set), ascending.
    QList<int> selectedRows() const;
    // Deletes every selected row from its table, one after the other, with redrawing held
    // until the last; each deleted row leaves the selection. A failure stops at that row and
    // passes on; the rows deleted before stay deleted.
    void deleteSelectedRows();
    // How a row is deleted, the data set's cursor on it: Dataset::remove unless the owner of
    // the grid sets another way (one that also writes what follows from the deletion). Both
    // the delete command and the Delete key go through it.
    void setRowRemover(std::function<void(Dataset&)> remove);

    // The footer text of a column ("合计", or the sum shown with "#0.##"); empty without one.
    QString footerText(int column) const;

signals:
    // A click on a data cell (not the indicator column); the cursor is already on that row.
    void dataCellClicked(int row, int column);

private:
    class Private;
    Private* d;
};
