#pragma once

#include "sheets/SheetTable.h"

#include <QList>
#include <QString>
#include <QStringList>

// What an import fills: the goods list or the customer list.
enum class ImportTarget { Goods, Customers };

// The fields an import fills and the header names each is found by.
namespace ImportFields {

struct Field {
    QString column;    // the table's column
    QString heading;   // its name in the template and the wizard
    QStringList names; // header names that mean it, the likeliest first
    bool required = false;
    bool number = false;
};

QString table(ImportTarget target);
// "商品信息" or "客户信息".
QString listName(ImportTarget target);
const QList<Field>& fields(ImportTarget target);
// The field that tells whether a row is in the list already: the goods code, the contact.
constexpr int kKeyField = 0;

// For each field, the column (from 0) whose header names it, -1 for none. A column serves
// one field only; blanks, "*" and a bracketed remark such as "(必填)" in a header do not count.
QList<int> match(ImportTarget target, const QStringList& headers);
// The header row: of the first rows, the one whose cells name the most fields (a title line
// may stand above it); the first row when none names any. An index into the sheet's rows.
qsizetype headerRow(ImportTarget target, const SheetTable& sheet);
// A cell's text: numbers in the general format (12 -> "12", 12.5 -> "12.5"), texts as they
// are.
QString cellText(const SheetTable::Cell& cell);
// A row's cells as the headers the wizard shows, numbers in the general format.
QStringList headers(const SheetTable::Row& row);

} // namespace ImportFields
