#pragma once

#include "imports/ImportPlan.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QTableWidget;

// The wizard's second step: which column of the file fills which field, what a row whose key
// the list holds does, the first rows as they would be stored and every row's problem.
class ImportColumnsPage : public QWidget {
    Q_OBJECT
public:
    // Rows the preview shows; the problem list names every row.
    static constexpr int kPreviewRows = 100;

    ImportColumnsPage(ImportTarget target, QWidget* parent);

    // The file's column names (from its header row) and the column each field takes; no
    // signal is sent.
    void showColumns(const QStringList& headers, const QList<int>& matched);
    // Each field's column, -1 for none.
    QList<int> columns() const;
    bool updateExisting() const;

    void showPlan(const ImportPlan& plan);

signals:
    // The user changed a column's field or the choice for existing rows.
    void changed();

private:
    QWidget* buildColumns();
    QWidget* buildChoice();
    QString status(const ImportPlan::Row& row) const;

    ImportTarget target_;
    QList<QComboBox*> columnBoxes_;
    QRadioButton* skip_ = nullptr;
    QRadioButton* update_ = nullptr;
    QTableWidget* preview_ = nullptr;
    QListWidget* problems_ = nullptr;
    QLabel* summary_ = nullptr;
};
