#pragma once

#include "data/Dataset.h"
#include "grid/ColumnSum.h"
#include "grid/DataGrid.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

// The rows of a Dataset as a read-only table of the grid's columns. Follows every signal of
// the data set, binds the columns to its fields by name after each reload, and keeps the
// footer sums current.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridModel(Dataset* dataset, QObject* parent = nullptr);

    Dataset* dataset() const { return dataset_; }

    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return columns_; }
    // The title shown for a column: its own title, else the field name.
    QString title(int column) const;
    QString footerText(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // The data set's cursor moved (-1: no current row).
    void currentRowChanged(int row);
    void footerChanged();

private:
    void bindFields();
    void reloadSums();
    void forgetDataset();

    QPointer<Dataset> dataset_;
    QList<GridColumn> columns_;
    QList<int> fieldColumns_; // data set column per grid column, -1 when the list lacks it
    struct Summed {
        int column;
        ColumnSum sum;
    };
    QList<Summed> sums_; // the Footer::Sum columns
};
