#pragma once

#include "imports/ImportPlan.h"
#include "imports/ImportWriter.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

// The wizard's last step: what the import stored and each row it skipped with the reason,
// which can be saved as a workbook to mend and import again.
class ImportResultPage : public QWidget {
    Q_OBJECT
public:
    explicit ImportResultPage(QWidget* parent);

    QPushButton* saveButton() const { return save_; }
    void showOutcome(const ImportPlan& plan, const ImportWriter::Outcome& outcome);

    // "导入 N 条，更新 M 条，跳过 K 条"
    static QString summary(const ImportWriter::Outcome& outcome);

private:
    QLabel* result_;
    QListWidget* skipped_;
    QPushButton* save_;
};
