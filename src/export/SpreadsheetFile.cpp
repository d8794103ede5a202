#include "export/SpreadsheetFile.h"

#include "data/Dataset.h"
#include "data/Errors.h"
#include "export/ExportProgress.h"
#include "export/WorkbookCheck.h"
#include "export/WorkbookWriter.h"
#include "platform/PendingFile.h"

#include <QDir>

namespace {

constexpr int kProgressStep = 1000;

} // namespace

namespace SpreadsheetFile {

void write(const Dataset& data, const QString& fileName, ExportProgress& progress) {
    const int rows = data.recordCount();
    if (rows >= WorkbookWriter::kRowLimit)
        throw AppError(QStringLiteral("列表有 %1 行，电子表格最多放 %2 行（含标题行），无法导出。")
                           .arg(rows)
                           .arg(WorkbookWriter::kRowLimit));
    PendingFile file(fileName);
    try {
        WorkbookWriter book(file.path());
        const QList<Dataset::Field>& fields = data.fields();
        for (int column = 0; column < fields.size(); ++column)
            book.writeText(0, column, fields[column].name);
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < fields.size(); ++column)
                book.writeText(row + 1, column, data.text(row, column));
            if ((row + 1) % kProgressStep == 0 || row + 1 == rows)
                progress.update(row + 1, rows);
        }
        book.close();
        WorkbookCheck::verify(file.path(), rows + 1);
    } catch (const AppError& e) {
        throw AppError(QStringLiteral("无法写入文件“%1”：%2")
                           .arg(QDir::toNativeSeparators(fileName), e.message()));
    }
    file.commit();
}

} // namespace SpreadsheetFile
