#include "printing/ThumbnailGrid.h"

#include "report/PagePainter.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Insets of the miniature in its cell, besides the centring offset on the left.
constexpr int kTopInset = 10;
constexpr int kRightInset = 30;
constexpr int kBottomInset = 10;

class ThumbnailDelegate : public QStyledItemDelegate {
public:
    explicit ThumbnailDelegate(ThumbnailGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect cell = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(cell,
                          option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        const auto* pages = grid_->pages();
        const int row = index.row();
        if (pages && row < pages->size()) {
            const QRect mini =
                cell.adjusted(grid_->horizontalOffset(), kTopInset, -kRightInset, -kBottomInset);
            if (mini.isValid()) {
                painter->fillRect(mini, Qt::white);
                report::paintPage(*painter, pages->at(row), grid_->paper(), mini);
                painter->setPen(option.palette.color(QPalette::Mid));
                painter->drawRect(mini.adjusted(0, 0, -1, -1));
            }
        }
        const QString number = QString::number(row + 1);
        const QFontMetrics metrics(option.font);
        const QRect label(cell.topLeft(),
                          QSize(metrics.horizontalAdvance(number) + 4, metrics.height()));
        painter->fillRect(label, option.palette.button());
        painter->setPen(option.palette.color(QPalette::ButtonText));
        painter->setFont(option.font);
        painter->drawText(label, Qt::AlignCenter, number);
    }

private:
    ThumbnailGrid* grid_;
};

} // namespace

ThumbnailGrid::ThumbnailGrid(QWidget* parent) : QTableWidget(0, 1, parent) {
    setObjectName(QStringLiteral("ThumbGrid"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new ThumbnailDelegate(this));
}

void ThumbnailGrid::setPages(const QList<report::Page>* pages, const QSizeF& paperMm) {
    pages_ = pages;
    paper_ = paperMm;
    pagesAdded();
}

void ThumbnailGrid::pagesAdded() {
    const int count = pages_ ? static_cast<int>(pages_->size()) : 0;
    if (rowCount() != count) {
        setRowCount(count);
        updateThumbSize();
    }
    viewport()->update();
}

void ThumbnailGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    updateThumbSize();
}

// The column fills the grid less 4 pixels; the miniature is 20 pixels narrower, centred, and
// as tall as the paper's proportions give, less the height of a line of the grid's font.
void ThumbnailGrid::updateThumbSize() {
    const int columnWidth = qMax(1, width() - 4);
    const int thumbWidth = qMax(1, columnWidth - 20);
    horizontalOffset_ = (columnWidth - thumbWidth) / 2;
    setColumnWidth(0, columnWidth);
    if (paper_.isEmpty())
        return;
    const int textHeight = QFontMetrics(font()).boundingRect(QStringLiteral("P")).height();
    const int rowHeight =
        qMax(1, qRound(thumbWidth * paper_.height() / paper_.width()) - textHeight);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    for (int row = 0; row < rowCount(); ++row)
        setRowHeight(row, rowHeight);
}
