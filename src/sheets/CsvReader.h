#pragma once

#include "sheets/WorkbookReader.h"

// Comma-separated text as spreadsheet programs save it: UTF-8 with or without a byte order
// mark, UTF-16 with one, or else GB18030 (what Excel on Chinese Windows writes), told apart by
// the bytes. Fields may be quoted ("" for a quote inside); a file whose first line holds tabs
// and no comma is read as tab-separated. Every cell is text.
class CsvReader final : public WorkbookReader {
public:
    static constexpr qint64 kMaxFileBytes = qint64(256) << 20;

    // Reads and decodes the file; fails with AppError.
    explicit CsvReader(const QString& path);

    // One sheet, named after the file with the encoding found, e.g. "客户（GB18030）".
    QStringList sheetNames() const override;
    SheetTable readSheet(int index) override;

    struct Decoded {
        QString text;
        QString encoding;
    };
    // The file's bytes as text, by the rules above; fails with AppError naming `shownName`.
    static Decoded decode(const QByteArray& bytes, const QString& shownName);
    // The text's records and fields.
    static SheetTable parse(const QString& text);

private:
    QString path_;
    QString shownName_;
    Decoded decoded_;
};
