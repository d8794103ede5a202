#pragma once

#include "imports/ImportPlan.h"
#include "imports/ImportWriter.h"

#include <QDialog>
#include <memory>
#include <optional>

class Connection;
class ImportColumnsPage;
class ImportFilePage;
class ImportResultPage;
class QPushButton;
class QStackedWidget;
class WorkbookReader;

// "导入商品信息" / "导入客户信息": a file, its sheet and header row; the columns matched to the
// fields with a preview of the rows and their problems; the import in one transaction with a
// progress window that can cancel it; what was stored and what was skipped.
class ImportWizard : public QDialog {
    Q_OBJECT
public:
    ImportWizard(Connection* connection, ImportTarget target, QWidget* parent);
    ~ImportWizard() override;

    // Rows added or updated; 0 until an import has run.
    int storedCount() const;

    void ChooseFileClick();
    void TemplateClick();
    void SheetChange();
    void HeaderRowChange();
    void ColumnsChange();
    void BackClick();
    void NextClick();
    void SaveSkippedClick();

private:
    void openFile(const QString& path);
    void readSheet();
    void showHeaderCells();
    void planRows();
    void runImport();
    void showStep(int step);

    Connection* connection_;
    ImportTarget target_;
    ImportFilePage* filePage_;
    ImportColumnsPage* columnsPage_;
    ImportResultPage* resultPage_;
    QStackedWidget* steps_;
    QPushButton* back_;
    QPushButton* next_;
    QPushButton* close_;

    std::unique_ptr<WorkbookReader> reader_;
    QString path_;
    std::optional<SheetTable> sheet_;
    qsizetype header_ = 0;
    QSet<QString> existingKeys_;
    std::optional<ImportPlan> plan_;
    std::optional<ImportWriter::Outcome> outcome_;
};
