#include "TestWorkbooks.h"

#include <QTest>

#include <minizip/zip.h>
#include <xlsxwriter.h>

namespace TestWorkbooks {

void writeXlsx(const QString& path, const QList<Sheet>& sheets, bool constantMemory) {
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(path.toUtf8().constData(), &options);
    QVERIFY(book);
    for (const Sheet& sheet : sheets) {
        lxw_worksheet* ws = workbook_add_worksheet(book, sheet.name.toUtf8().constData());
        for (qsizetype r = 0; r < sheet.rows.size(); ++r) {
            for (qsizetype c = 0; c < sheet.rows[r].size(); ++c) {
                const QVariant& v = sheet.rows[r][c];
                if (v.typeId() == QMetaType::QString)
                    worksheet_write_string(ws, r, c, v.toString().toUtf8().constData(), nullptr);
                else if (v.isValid())
                    worksheet_write_number(ws, r, c, v.toDouble(), nullptr);
            }
        }
    }
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);
}

void writeParts(const QString& path, const QList<QPair<QString, QByteArray>>& parts) {
    zipFile zip = zipOpen64(path.toUtf8().constData(), APPEND_STATUS_CREATE);
    QVERIFY(zip);
    for (const auto& [name, bytes] : parts) {
        QCOMPARE(zipOpenNewFileInZip64(zip, name.toUtf8().constData(), nullptr, nullptr, 0, nullptr,
                                       0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1),
                 ZIP_OK);
        QCOMPARE(zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size())), ZIP_OK);
        QCOMPARE(zipCloseFileInZip(zip), ZIP_OK);
    }
    QCOMPARE(zipClose(zip, nullptr), ZIP_OK);
}

QList<QPair<QString, QByteArray>> workbookParts(const QByteArray& sheetXml) {
    return {
        {"_rels/.rels",
         R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
        {"xl/workbook.xml",
         R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)"},
        {"xl/worksheets/sheet1.xml", sheetXml},
    };
}

void writeBomb(const QString& path, qint64 bytes) {
    zipFile zip = zipOpen64(path.toUtf8().constData(), APPEND_STATUS_CREATE);
    QVERIFY(zip);
    auto parts = workbookParts(QByteArray());
    parts.removeLast();
    for (const auto& [name, content] : parts) {
        QCOMPARE(zipOpenNewFileInZip64(zip, name.toUtf8().constData(), nullptr, nullptr, 0, nullptr,
                                       0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1),
                 ZIP_OK);
        QCOMPARE(zipWriteInFileInZip(zip, content.constData(), unsigned(content.size())), ZIP_OK);
        QCOMPARE(zipCloseFileInZip(zip), ZIP_OK);
    }
    QCOMPARE(zipOpenNewFileInZip64(zip, "xl/worksheets/sheet1.xml", nullptr, nullptr, 0, nullptr, 0,
                                   nullptr, Z_DEFLATED, 1, 1),
             ZIP_OK);
    const QByteArray head = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
    QCOMPARE(zipWriteInFileInZip(zip, head.constData(), unsigned(head.size())), ZIP_OK);
    // Empty elements the reader passes over, so only the amount of XML can stop it; long
    // names make few of them.
    const QByteArray element = "<" + QByteArray(1020, 'x') + "/>";
    QByteArray filler;
    while (filler.size() < (1 << 20))
        filler += element;
    for (qint64 written = head.size(); written < bytes; written += filler.size())
        QCOMPARE(zipWriteInFileInZip(zip, filler.constData(), unsigned(filler.size())), ZIP_OK);
    const QByteArray tail = "</sheetData></worksheet>";
    QCOMPARE(zipWriteInFileInZip(zip, tail.constData(), unsigned(tail.size())), ZIP_OK);
    QCOMPARE(zipCloseFileInZip(zip), ZIP_OK);
    QCOMPARE(zipClose(zip, nullptr), ZIP_OK);
}

} // namespace TestWorkbooks
