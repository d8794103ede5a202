#include "sheets/XlsReader.h"

#include "base/AppError.h"
#include "sheets/SheetBuilder.h"

#include <QDir>
#include <QFile>

#include <freexl.h>

XlsReader::XlsReader(const QString& path) : shownName_(QDir::toNativeSeparators(path)) {
    const int opened = freexl_open(QFile::encodeName(path).constData(), &handle_);
    if (opened != FREEXL_OK) {
        handle_ = nullptr;
        fail(opened);
    }
    unsigned int value = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &value) == FREEXL_OK &&
        value == FREEXL_BIFF_OBFUSCATED)
        throw AppError(
            QStringLiteral("文件“%1”设有密码，请在表格软件中取消密码后再导入。").arg(shownName_));
    unsigned int count = 0;
    const int info = freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &count);
    if (info != FREEXL_OK)
        fail(info);
    for (unsigned short i = 0; i < count; ++i) {
        const char* name = nullptr;
        const int got = freexl_get_worksheet_name(handle_, i, &name);
        if (got != FREEXL_OK)
            fail(got);
        names_.append(QString::fromUtf8(name));
    }
    if (names_.isEmpty())
        throw AppError(QStringLiteral("文件“%1”里没有工作表。").arg(shownName_));
}

XlsReader::~XlsReader() {
    if (handle_)
        freexl_close(handle_);
}

void XlsReader::fail(int code) const {
    if (code == FREEXL_INSUFFICIENT_MEMORY)
        throw AppError(QStringLiteral("文件“%1”太大，内存不足，无法读取。").arg(shownName_));
    if (code == FREEXL_BIFF_WORKBOOK_NOT_FOUND)
        throw AppError(
            QStringLiteral("文件“%1”不是 .xls 工作簿，或设有密码，无法读取。").arg(shownName_));
    throw AppError(QStringLiteral("文件“%1”已损坏或格式不受支持，无法读取（错误 %2）。")
                       .arg(shownName_)
                       .arg(code));
}

QStringList XlsReader::sheetNames() const {
    return names_;
}

SheetTable XlsReader::readSheet(int index) {
    if (index < 0 || index >= names_.size())
        throw AppError(QStringLiteral("文件“%1”里没有这个工作表。").arg(shownName_));
    int rc = freexl_select_active_worksheet(handle_, static_cast<unsigned short>(index));
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (rc == FREEXL_OK)
        rc = freexl_worksheet_dimensions(handle_, &rows, &columns);
    if (rc != FREEXL_OK)
        fail(rc);
    SheetBuilder builder;
    for (unsigned int row = 0; row < rows; ++row) {
        builder.startRow(qint64(row) + 1);
        for (unsigned short column = 0; column < columns; ++column) {
            FreeXL_CellValue value;
            rc = freexl_get_cell_value(handle_, row, column, &value);
            if (rc != FREEXL_OK)
                fail(rc);
            switch (value.type) {
            case FREEXL_CELL_INT:
                builder.add(column, SheetTable::Cell::ofNumber(value.value.int_value));
                break;
            case FREEXL_CELL_DOUBLE:
                builder.add(column, SheetTable::Cell::ofNumber(value.value.double_value));
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                builder.add(column,
                            SheetTable::Cell::ofText(QString::fromUtf8(value.value.text_value)));
                break;
            default:
                break;
            }
        }
    }
    return builder.take();
}
