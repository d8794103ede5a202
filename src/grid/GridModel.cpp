#include "grid/GridModel.h"

#include "data/NumberText.h"

GridModel::GridModel(Dataset* dataset, QObject* parent)
    : QAbstractTableModel(parent), dataset_(dataset) {
    connect(dataset, &Dataset::aboutToReset, this, &GridModel::beginResetModel);
    connect(dataset, &Dataset::didReset, this, [this] {
        bindFields();
        reloadSums();
        endResetModel();
        emit footerChanged();
    });
    connect(dataset, &Dataset::aboutToInsertRow, this,
            [this](int row) { beginInsertRows(QModelIndex(), row, row); });
    connect(dataset, &Dataset::rowInserted, this, [this](int row) {
        for (Summed& summed : sums_)
            summed.sum.rowInserted(*dataset_, row);
        endInsertRows();
        emit footerChanged();
    });
    connect(dataset, &Dataset::aboutToRemoveRow, this,
            [this](int row) { beginRemoveRows(QModelIndex(), row, row); });
    connect(dataset, &Dataset::rowRemoved, this, [this](int row) {
        for (Summed& summed : sums_)
            summed.sum.rowRemoved(*dataset_, row);
        endRemoveRows();
        emit footerChanged();
    });
    connect(dataset, &Dataset::rowChanged, this, [this](int row) {
        for (Summed& summed : sums_)
            summed.sum.rowChanged(*dataset_, row);
        if (!columns_.isEmpty())
            emit dataChanged(index(row, 0), index(row, columns_.size() - 1));
        emit footerChanged();
    });
    connect(dataset, &Dataset::currentRowChanged, this, &GridModel::currentRowChanged);
    // The grid may outlive its data set when both belong to the same window.
    connect(dataset, &QObject::destroyed, this, &GridModel::forgetDataset);
}

void GridModel::forgetDataset() {
    beginResetModel();
    dataset_ = nullptr;
    endResetModel();
}

void GridModel::setColumns(const QList<GridColumn>& columns) {
    beginResetModel();
    columns_ = columns;
    bindFields();
    reloadSums();
    endResetModel();
    emit footerChanged();
}

void GridModel::bindFields() {
    fieldColumns_.clear();
    for (const GridColumn& column : columns_)
        fieldColumns_.append(dataset_ ? dataset_->fieldIndex(column.field) : -1);
}

void GridModel::reloadSums() {
    if (!dataset_) {
        sums_.clear();
        return;
    }
    // Sums already counted are handed on, so that rows reopened unchanged are not counted again.
    QList<Summed> sums;
    for (int c = 0; c < columns_.size(); ++c) {
        if (columns_[c].footer != GridColumn::Footer::Sum)
            continue;
        Summed summed{c, ColumnSum()};
        for (const Summed& old : std::as_const(sums_)) {
            if (old.column == c)
                summed.sum = old.sum;
        }
        summed.sum.reload(*dataset_, fieldColumns_[c]);
        sums.append(summed);
    }
    sums_ = sums;
}

QString GridModel::title(int column) const {
    const GridColumn& c = columns_[column];
    return c.title.isEmpty() ? c.field : c.title;
}

QString GridModel::footerText(int column) const {
    if (column < 0 || column >= columns_.size())
        return QString();
    switch (columns_[column].footer) {
    case GridColumn::Footer::None:
        break;
    case GridColumn::Footer::Text:
        return columns_[column].footerText;
    case GridColumn::Footer::Sum:
        for (const Summed& summed : sums_) {
            if (summed.column == column)
                return summed.sum.text();
        }
        break;
    }
    return QString();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !dataset_ ? 0 : dataset_->recordCount();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_.size();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !dataset_ || index.column() >= columns_.size())
        return QVariant();
    const GridColumn& column = columns_[index.column()];
    switch (role) {
    case Qt::DisplayRole: {
        const int field = fieldColumns_[index.column()];
        if (field < 0)
            return QString();
        if (column.numberFormat) {
            if (const std::optional<double> value = dataset_->number(index.row(), field))
                return NumberText::display(*value);
        }
        return dataset_->text(index.row(), field);
    }
    case Qt::TextAlignmentRole: {
        Qt::Alignment alignment = column.alignment;
        if (!(alignment & Qt::AlignVertical_Mask))
            alignment |= Qt::AlignVCenter;
        return QVariant::fromValue(alignment);
    }
    default:
        return QVariant();
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columns_.size())
        return title(section);
    return QVariant();
}
