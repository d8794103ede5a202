#pragma once

#include "sheets/WorkbookReader.h"

// A BIFF workbook (.xls, as Excel 97 to 2003 and WPS save it), read with FreeXL.
class XlsReader final : public WorkbookReader {
public:
    explicit XlsReader(const QString& path);
    ~XlsReader() override;
    XlsReader(const XlsReader&) = delete;
    XlsReader& operator=(const XlsReader&) = delete;

    QStringList sheetNames() const override;
    SheetTable readSheet(int index) override;

private:
    [[noreturn]] void fail(int code) const;

    const void* handle_ = nullptr;
    QString shownName_;
    QStringList names_;
};
