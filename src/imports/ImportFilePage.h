#pragma once

#include "imports/ImportFields.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The wizard's first step: the file, its sheet and the row holding the column names, with
// the column names the import knows and the template to start from.
class ImportFilePage : public QWidget {
    Q_OBJECT
public:
    ImportFilePage(ImportTarget target, QWidget* parent);

    QPushButton* chooseButton() const { return choose_; }
    QPushButton* templateButton() const { return template_; }
    QComboBox* sheetBox() const { return sheets_; }
    QSpinBox* headerBox() const { return header_; }

    // Shows the file and its sheets, the first one chosen; no signal is sent.
    void showFile(const QString& path, const QStringList& sheets);
    // The sheet's row numbers that may hold the column names, the chosen one among them;
    // no signal is sent.
    void showHeaderRow(int rowNumber, int lastRowNumber);
    // The cells of the header row chosen and how many rows stand below it.
    void showHeaderCells(const QStringList& cells, qsizetype rowsBelow);
    void clear();

private:
    QLineEdit* file_;
    QPushButton* choose_;
    QComboBox* sheets_;
    QSpinBox* header_;
    QLabel* headerCells_;
    QPushButton* template_;
};
