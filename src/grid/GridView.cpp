#include "grid/GridView.h"

#include "grid/GridDelegate.h"
#include "grid/GridFooter.h"
#include "grid/GridHeader.h"
#include "grid/GridLook.h"
#include "grid/GridModel.h"
#include "grid/IndicatorColumn.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

// Covers the table's own corner button, which would be drawn in the platform's header look.
class CornerCell : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        GridLook::paintFixedCell(painter, rect());
    }
};

} // namespace

GridView::GridView(QWidget* parent)
    : QTableView(parent), titles_(new GridHeader(this)),
      indicator_(new IndicatorColumn(selection_, this)), footer_(new GridFooter(this)),
      corner_(new CornerCell(this)) {
    setHorizontalHeader(titles_);
    setVerticalHeader(indicator_);
    setItemDelegate(new GridDelegate(this));
    setFont(GridLook::cellFont());
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows are picked through the indicator column, not by the view's own selection.
    setSelectionMode(QAbstractItemView::NoSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(true);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape(QFrame::StyledPanel);
    viewport()->setBackgroundRole(QPalette::Base);
    footer_->hide();

    connect(horizontalScrollBar(), &QScrollBar::valueChanged, footer_,
            qOverload<>(&QWidget::update));
    connect(titles_, &QHeaderView::sectionResized, footer_, qOverload<>(&QWidget::update));
    connect(indicator_, &IndicatorColumn::rowPressed, this, [this] { setFocus(); });
}

void GridView::setGridModel(GridModel* model) {
    model_ = model;
    setModel(model);
    connect(model, &QAbstractItemModel::modelReset, this, [this] { selection_.clear(); });
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first) { selection_.rowInserted(first); });
    connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first) { selection_.rowRemoved(first); });
    connect(model, &GridModel::currentRowChanged, this, &GridView::showRow);
    connect(model, &GridModel::footerChanged, footer_, qOverload<>(&QWidget::update));
}

void GridView::selectionEdited() {
    viewport()->update();
    indicator_->viewport()->update();
}

int GridView::currentRow() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void GridView::showRow(int row) {
    if (!model_ || row < 0 || row >= model_->rowCount()) {
        selectionModel()->clearCurrentIndex();
        return;
    }
    const QModelIndex index = model_->index(row, qMax(0, currentIndex().column()));
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index);
}

void GridView::setFooterVisible(bool visible) {
    footerVisible_ = visible;
    updateGeometries();
}

void GridView::keyboardSearch(const QString&) {
    // Typing never moves the cursor: cells are not edited and rows are not looked up by key.
}

void GridView::updateGeometries() {
    QTableView::updateGeometries();
    if (placing_)
        return;
    // The table sets its margins for the headers only; the footer takes a strip under the rows.
    placing_ = true;
    const int footerHeight = footerVisible_ ? GridLook::footerHeight : 0;
    QMargins margins = viewportMargins();
    if (margins.bottom() != footerHeight) {
        margins.setBottom(footerHeight);
        setViewportMargins(margins);
    }
    const QRect port = viewport()->geometry();
    const int left = indicator_->isVisible() ? indicator_->geometry().left() : port.left();
    footer_->setGeometry(left, port.bottom() + 1, port.right() + 1 - left, footerHeight);
    footer_->setVisible(footerVisible_);
    corner_->setGeometry(left, titles_->geometry().top(), port.left() - left,
                         titles_->geometry().height());
    corner_->raise();
    placing_ = false;
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // The whole row is highlighted, not just the cell.
    viewport()->update();
    indicator_->viewport()->update();
}

void GridView::mousePressEvent(QMouseEvent* event) {
    pressed_ = QPersistentModelIndex();
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid())
        return;
    pressed_ = index;
    emit cellPressed(index.row(), index.column(), event->modifiers());
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex pressed = pressed_;
    pressed_ = QPersistentModelIndex();
    if (event->button() == Qt::LeftButton && pressed.isValid() &&
        indexAt(event->position().toPoint()) == pressed)
        emit cellClicked(pressed.row(), pressed.column());
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        emit deleteRequested();
        return;
    }
    const int before = currentRow();
    QTableView::keyPressEvent(event);
    const int after = currentRow();
    if (after < 0 || after == before)
        return;
    // Tab wrapping onto the next row is a plain move, even as Shift+Tab.
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    emit keyMoved(after, tab ? Qt::NoModifier : event->modifiers());
}
