#pragma once

#include <QDate>
#include <QString>

struct lxw_format;
struct lxw_workbook;
struct lxw_worksheet;

// A new workbook of one worksheet, written in constant memory: cells come row by row in
// order, as texts, numbers or dates (shown yyyy/m/d). The file is written when the workbook
// is closed.
// Failures are AppErrors whose text gives the reason, without the file's name.
class WorkbookWriter {
public:
    // The most rows a worksheet holds.
    static constexpr int kRowLimit = 1048576;

    // What went into the sheet.
    struct Written {
        qint64 cells = 0;
        int lastRow = -1; // from 0
    };

    // Keeps its working files in the folder of the file it writes.
    explicit WorkbookWriter(const QString& path);
    // Discards the workbook unless it was closed.
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // Row and column count from 0; an empty text leaves the cell empty.
    void writeText(int row, int column, const QString& text);
    void writeNumber(int row, int column, double value);
    // A number shown with thousands separators and two decimals (#,##0.00).
    void writeMoney(int row, int column, double value);
    void writeDate(int row, int column, const QDate& date);
    // A row without a cell has no trace in the sheet unless it is marked; marked, it is an
    // empty row of the sheet's range, as the list's row of empty fields is.
    void writeEmptyRow(int row);
    // Writes the file; fails with AppError.
    void close();

    const Written& written() const { return written_; }

private:
    void writeNumber(int row, int column, double value, lxw_format* format);

    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* dateFormat_ = nullptr;
    lxw_format* moneyFormat_ = nullptr;
    Written written_;
};
