#include "export/SpreadsheetFile.h"

#include "base/AppError.h"
#include "data/Dataset.h"
#include "export/ExportProgress.h"
#include "export/SheetWriterThread.h"
#include "export/WorkbookWriter.h"
#include "platform/PendingFile.h"

#include <QDir>

#include <utility>
#include <vector>

namespace {

// Rows handed to the writing thread at a time; progress is shown after each.
constexpr int kBatchRows = 1000;

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
        const QList<Dataset::Field>& fields = data.fields();
        SheetWriterThread sheet(file.path(), static_cast<int>(fields.size()));
        std::vector<QString> texts;
        for (const Dataset::Field& field : fields)
            texts.push_back(field.name);
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < fields.size(); ++column)
                texts.push_back(data.text(row, column));
            if ((row + 1) % kBatchRows == 0) {
                sheet.add(std::exchange(texts, {}));
                progress.update(row + 1, rows);
            }
        }
        sheet.add(std::move(texts));
        progress.update(rows, rows);
        sheet.finish([&] { progress.update(rows, rows); });
    } catch (const AppError& e) {
        throw AppError(QStringLiteral("无法写入文件“%1”：%2")
                           .arg(QDir::toNativeSeparators(fileName), e.message()));
    }
    file.commit();
}

} // namespace SpreadsheetFile
