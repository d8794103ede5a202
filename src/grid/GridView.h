#pragma once

#include "grid/RowSelection.h"

#include <QPersistentModelIndex>
#include <QTableView>

class GridFooter;
class GridHeader;
class GridModel;
class IndicatorColumn;

// The table part of the data grid: fixed-height rows with no editing, the title header, the
// indicator column, the footer row under the data and the user's row selection. It reports
// what the user does and leaves acting on the data set to its owner; its current row follows
// the model's.
class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(QWidget* parent = nullptr);

    void setGridModel(GridModel* model);
    GridModel* gridModel() const { return model_; }
    GridHeader* titles() const { return titles_; }
    IndicatorColumn* indicator() const { return indicator_; }
    GridFooter* footer() const { return footer_; }

    RowSelection& selection() { return selection_; }
    const RowSelection& selection() const { return selection_; }
    // Redraws the rows and the indicator after the selection changed.
    void selectionEdited();

    int currentRow() const;
    // Makes a row current, keeping the current column, and scrolls it into view; -1 clears.
    void showRow(int row);

    void setFooterVisible(bool visible);
    bool isFooterVisible() const { return footerVisible_; }

    void keyboardSearch(const QString& search) override;

signals:
    void cellPressed(int row, int column, Qt::KeyboardModifiers modifiers);
    // Press and release of the left button on the same cell.
    void cellClicked(int row, int column);
    // The keyboard moved the current row.
    void keyMoved(int row, Qt::KeyboardModifiers modifiers);
    void deleteRequested();

protected:
    void updateGeometries() override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    GridModel* model_ = nullptr;
    GridHeader* titles_;
    IndicatorColumn* indicator_;
    GridFooter* footer_;
    QWidget* corner_;
    RowSelection selection_;
    QPersistentModelIndex pressed_;
    bool footerVisible_ = false;
    bool placing_ = false;
};
