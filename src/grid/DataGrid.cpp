#include "grid/DataGrid.h"

#include "data/Dataset.h"
#include "grid/GridHeader.h"
#include "grid/GridModel.h"
#include "grid/GridView.h"
#include "grid/IndicatorColumn.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"

#include <QMenu>
#include <QPointer>
#include <QVBoxLayout>

namespace {

// Holds back the grid's redrawing for a scope, failures included.
class RedrawHeld {
public:
    explicit RedrawHeld(QWidget* widget) : widget_(widget), was_(widget->updatesEnabled()) {
        widget_->setUpdatesEnabled(false);
    }
    ~RedrawHeld() { widget_->setUpdatesEnabled(was_); }
    RedrawHeld(const RedrawHeld&) = delete;
    RedrawHeld& operator=(const RedrawHeld&) = delete;

private:
    QWidget* widget_;
    bool was_;
};

} // namespace

class DataGrid::Private {
public:
    Private(DataGrid* grid, Dataset* dataset)
        : q(grid), model(new GridModel(dataset, grid)), view(new GridView(grid)) {}

    // Moves the data set's cursor for the user; false when it stayed where it was (the error
    // has been shown). The view always ends on the data set's row.
    bool moveCursor(int row);
    void cellPressed(int row, int column, Qt::KeyboardModifiers modifiers);
    void cellClicked(int row, int column);
    void indicatorPressed(int row, Qt::KeyboardModifiers modifiers);
    void indicatorDragged(int row);
    void keyMoved(int row, Qt::KeyboardModifiers modifiers);
    void deleteByKey();

    DataGrid* q;
    GridModel* model;
    GridView* view;
    QPointer<QMenu> menu;
    std::function<void(Dataset&)> remove = [](Dataset& dataset) { dataset.remove(); };
};

bool DataGrid::Private::moveCursor(int row) {
    Dataset* dataset = model->dataset();
    if (!dataset)
        return false;
    guarded(q, [&] { dataset->moveTo(row); });
    if (view->currentRow() != dataset->recNo())
        view->showRow(dataset->recNo());
    return dataset->recNo() == row;
}

void DataGrid::Private::cellPressed(int row, int column, Qt::KeyboardModifiers modifiers) {
    if (!moveCursor(row))
        return;
    view->selectionModel()->setCurrentIndex(model->index(row, column),
                                            QItemSelectionModel::NoUpdate);
    RowSelection& selection = view->selection();
    if (modifiers & Qt::ShiftModifier)
        selection.extendTo(row);
    else if (modifiers & Qt::ControlModifier)
        selection.toggle(row);
    else
        selection.clearTo(row);
    view->selectionEdited();
}

void DataGrid::Private::cellClicked(int row, int column) {
    const Dataset* dataset = model->dataset();
    if (dataset && dataset->recNo() == row)
        guarded(q, [&] { emit q->dataCellClicked(row, column); });
}

void DataGrid::Private::indicatorPressed(int row, Qt::KeyboardModifiers modifiers) {
    if (!moveCursor(row))
        return;
    RowSelection& selection = view->selection();
    if (modifiers & Qt::ShiftModifier)
        selection.extendTo(row);
    else if (modifiers & Qt::ControlModifier)
        selection.toggle(row);
    else
        selection.selectOnly(row);
    view->selectionEdited();
}

void DataGrid::Private::indicatorDragged(int row) {
    if (!moveCursor(row))
        return;
    view->selection().extendTo(row);
    view->selectionEdited();
}

void DataGrid::Private::keyMoved(int row, Qt::KeyboardModifiers modifiers) {
    if (!moveCursor(row))
        return;
    if (modifiers & Qt::ShiftModifier)
        view->selection().extendTo(row);
    else if (!(modifiers & Qt::ControlModifier))
        view->selection().clearTo(row);
    view->selectionEdited();
}

void DataGrid::Private::deleteByKey() {
    guarded(q, [&] {
        Dataset* dataset = model->dataset();
        if (!dataset || model->rowCount() == 0)
            return;
        const bool selected = !view->selection().isEmpty();
        if (!selected && dataset->recNo() < 0)
            return;
        if (!Prompts::instance().confirmRemoval(q->window(),
                                                selected ? QStringLiteral("删除所有选中的记录吗？")
                                                         : QStringLiteral("删除记录吗？")))
            return;
        if (selected)
            q->deleteSelectedRows();
        else
            remove(*dataset);
    });
}

DataGrid::DataGrid(Dataset* dataset, QWidget* parent)
    : QWidget(parent), d(new Private(this, dataset)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->view);
    setFocusProxy(d->view);
    d->view->setGridModel(d->model);

    connect(d->view, &GridView::cellPressed, this,
            [this](int row, int column, Qt::KeyboardModifiers modifiers) {
                d->cellPressed(row, column, modifiers);
            });
    connect(d->view, &GridView::cellClicked, this,
            [this](int row, int column) { d->cellClicked(row, column); });
    connect(d->view, &GridView::keyMoved, this,
            [this](int row, Qt::KeyboardModifiers modifiers) { d->keyMoved(row, modifiers); });
    connect(d->view, &GridView::deleteRequested, this, [this] { d->deleteByKey(); });
    connect(
        d->view->indicator(), &IndicatorColumn::rowPressed, this,
        [this](int row, Qt::KeyboardModifiers modifiers) { d->indicatorPressed(row, modifiers); });
    connect(d->view->indicator(), &IndicatorColumn::rowDragged, this,
            [this](int row) { d->indicatorDragged(row); });

    // Right clicks anywhere in the grid (rows, titles, footer) end up here.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (d->menu)
            d->menu->popup(mapToGlobal(pos));
    });

    if (dataset->isOpen())
        d->view->showRow(dataset->recNo());
}

DataGrid::~DataGrid() {
    delete d;
}

void DataGrid::setColumns(const QList<GridColumn>& columns) {
    d->model->setColumns(columns);
    QStringList titles;
    for (int c = 0; c < columns.size(); ++c)
        titles.append(d->model->title(c));
    d->view->titles()->setTitles(TitleLayout(titles));
    for (int c = 0; c < columns.size(); ++c)
        d->view->setColumnWidth(c, columns[c].width);
    if (const Dataset* dataset = d->model->dataset())
        d->view->showRow(dataset->recNo());
}

void DataGrid::setFooterVisible(bool visible) {
    d->view->setFooterVisible(visible);
}

void DataGrid::setPopupMenu(QMenu* menu) {
    d->menu = menu;
}

Dataset* DataGrid::dataset() const {
    return d->model->dataset();
}

QList<int> DataGrid::selectedRows() const {
    return d->view->selection().rows();
}

void DataGrid::deleteSelectedRows() {
    Dataset* dataset = d->model->dataset();
    if (!dataset)
        return;
    const RedrawHeld held(this);
    // From the last row up, so that the rows still to go keep their numbers.
    const QList<int> rows = d->view->selection().rows();
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        dataset->moveTo(*it);
        d->remove(*dataset);
    }
}

void DataGrid::setRowRemover(std::function<void(Dataset&)> remove) {
    d->remove = std::move(remove);
}

QString DataGrid::footerText(int column) const {
    return d->model->footerText(column);
}
