#pragma once

#include <QDate>
#include <QString>

// One cell on its way to the sheet: a number cell for a number column's value, a date cell for
// a business date, a text cell for everything else, so that sums add up in the spreadsheet
// while codes and telephone numbers keep their leading zeros.
struct SheetCell {
    enum Kind : char { Empty, Text, Number, Date };
    Kind kind = Empty;
    QString text;
    double number = 0;
    bool money = false; // a number shown #,##0.00
    QDate date;

    static SheetCell ofText(const QString& text) {
        SheetCell cell;
        if (!text.isEmpty()) {
            cell.kind = Text;
            cell.text = text;
        }
        return cell;
    }
    static SheetCell ofNumber(double value) {
        SheetCell cell;
        cell.kind = Number;
        cell.number = value;
        return cell;
    }
    static SheetCell ofMoney(double value) {
        SheetCell cell = ofNumber(value);
        cell.money = true;
        return cell;
    }
    static SheetCell ofDate(const QDate& date) {
        SheetCell cell;
        cell.kind = Date;
        cell.date = date;
        return cell;
    }
};
