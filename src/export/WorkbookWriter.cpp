#include "export/WorkbookWriter.h"

#include "base/AppError.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>

#include <xlsxwriter.h>

namespace {

// Characters the sheet's XML cannot hold as they are. The library escapes the other control
// characters itself; a NUL would end its C string and cut the cell short.
bool needsCode(QChar c) {
    return c.unicode() == 0 || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF;
}

bool isHex(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Whether "_xHHHH_" starts at `at`.
bool codeAt(const QString& text, qsizetype at) {
    if (at + 6 >= text.size() || text[at] != QLatin1Char('_') || text[at + 1] != QLatin1Char('x') ||
        text[at + 6] != QLatin1Char('_'))
        return false;
    return std::all_of(text.cbegin() + at + 2, text.cbegin() + at + 6, isHex);
}

// Readers turn "_xHHHH_" into the character HHHH; such a text written literally keeps its
// underscore by escaping it as "_x005F_", and the characters above are written that way. (A
// plain scan: a regular expression's compiled code crashed on the writer's thread under Wine.)
QByteArray cellText(const QString& text) {
    if (!text.contains(QLatin1String("_x")) && std::none_of(text.cbegin(), text.cend(), needsCode))
        return text.toUtf8();
    QString out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (codeAt(text, i)) {
            out += QLatin1String("_x005F_");
            out += QStringView(text).mid(i + 1, 6);
            i += 6;
        } else if (needsCode(c)) {
            out += QStringLiteral("_x%1_").arg(
                QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
        } else {
            out += c;
        }
    }
    return out.toUtf8();
}

[[noreturn]] void fail(lxw_error error) {
    throw AppError(QString::fromUtf8(lxw_strerror(error)));
}

} // namespace

WorkbookWriter::WorkbookWriter(const QString& path) {
    // The sheet's rows wait in a working file until the workbook is packed; keeping it beside
    // the target spares a memory-backed /tmp and puts a full disk where the user looks.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(folder.constData());
    workbook_ = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!workbook_)
        fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    sheet_ = workbook_add_worksheet(workbook_, nullptr);
    if (!sheet_)
        fail(LXW_ERROR_CREATING_TMPFILE);
    dateFormat_ = workbook_add_format(workbook_);
    if (!dateFormat_)
        fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    format_set_num_format(dateFormat_, "yyyy/m/d");
    moneyFormat_ = workbook_add_format(workbook_);
    if (!moneyFormat_)
        fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    format_set_num_format(moneyFormat_, "#,##0.00");
}

WorkbookWriter::~WorkbookWriter() {
    // A workbook given up before it was packed still has its rows' working file open, which
    // the library's free leaves open: on Windows that file could not go.
    if (!workbook_)
        return; // closed: the library has freed it all
    if (sheet_ && sheet_->optimize_tmpfile) {
        std::fclose(sheet_->optimize_tmpfile);
        sheet_->optimize_tmpfile = nullptr;
    }
    lxw_workbook_free(workbook_);
}

void WorkbookWriter::writeText(int row, int column, const QString& text) {
    if (text.isEmpty())
        return;
    const lxw_error error =
        worksheet_write_string(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                               cellText(text).constData(), nullptr);
    if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        throw AppError(QStringLiteral("第%1行第%2列的文字超过 32767 个字符，电子表格的单元格放不下")
                           .arg(row + 1)
                           .arg(column + 1));
    if (error != LXW_NO_ERROR)
        fail(error);
    ++written_.cells;
    written_.lastRow = row;
}

void WorkbookWriter::writeNumber(int row, int column, double value) {
    writeNumber(row, column, value, nullptr);
}

void WorkbookWriter::writeMoney(int row, int column, double value) {
    writeNumber(row, column, value, moneyFormat_);
}

void WorkbookWriter::writeNumber(int row, int column, double value, lxw_format* format) {
    const lxw_error error = worksheet_write_number(sheet_, static_cast<lxw_row_t>(row),
                                                   static_cast<lxw_col_t>(column), value, format);
    if (error != LXW_NO_ERROR)
        fail(error);
    ++written_.cells;
    written_.lastRow = row;
}

void WorkbookWriter::writeDate(int row, int column, const QDate& date) {
    lxw_datetime value = {date.year(), date.month(), date.day(), 0, 0, 0};
    const lxw_error error = worksheet_write_datetime(
        sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), &value, dateFormat_);
    if (error != LXW_NO_ERROR)
        fail(error);
    ++written_.cells;
    written_.lastRow = row;
}

void WorkbookWriter::writeEmptyRow(int row) {
    const lxw_error error =
        worksheet_set_row(sheet_, static_cast<lxw_row_t>(row), LXW_DEF_ROW_HEIGHT, nullptr);
    if (error != LXW_NO_ERROR)
        fail(error);
    written_.lastRow = row;
}

void WorkbookWriter::close() {
    lxw_workbook* workbook = workbook_;
    workbook_ = nullptr;
    sheet_ = nullptr;
    const lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR)
        fail(error);
}
