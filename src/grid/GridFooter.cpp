#include "grid/GridFooter.h"

#include "grid/GridLook.h"
#include "grid/GridModel.h"
#include "grid/GridView.h"

#include <QHeaderView>
#include <QPainter>

GridFooter::GridFooter(GridView* view) : QWidget(view), view_(view) {}

QRect GridFooter::cellRect(int column) const {
    const int left = view_->viewport()->geometry().left() - geometry().left();
    const QHeaderView* header = view_->horizontalHeader();
    return QRect(left + header->sectionViewportPosition(column), 0, header->sectionSize(column),
                 height());
}

void GridFooter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int left = view_->viewport()->geometry().left() - geometry().left();
    GridLook::paintFixedCell(painter, QRect(0, 0, left, height()));
    painter.fillRect(QRect(left, 0, width() - left, height()),
                     view_->palette().color(QPalette::Base));
    const GridModel* model = view_->gridModel();
    if (!model)
        return;

    painter.setClipRect(QRect(left, 0, width() - left, height()));
    for (int column = 0; column < model->columnCount(); ++column) {
        const QRect cell = cellRect(column);
        if (cell.right() < left || cell.left() >= width())
            continue;
        painter.fillRect(cell, GridLook::footerColor());
        painter.setPen(GridLook::lineColor());
        painter.drawLine(cell.topLeft(), cell.topRight());
        painter.drawLine(cell.topRight(), cell.bottomRight());
        painter.drawLine(cell.bottomLeft(), cell.bottomRight());
        const GridColumn& definition = model->columns()[column];
        painter.setFont(definition.footer == GridColumn::Footer::Text ? GridLook::titleFont()
                                                                      : GridLook::footerFont());
        painter.setPen(Qt::black);
        painter.drawText(cell.adjusted(GridLook::textMargin, 0, -GridLook::textMargin, 0),
                         Qt::AlignCenter | Qt::TextSingleLine, model->footerText(column));
    }
}
